// What an uploaded report must hold: every top-level member, each of its JSON type.
#pragma once

#include <string>

namespace kestrel::server {

// Empty when the text is a report document; otherwise why it is not (naming the member).
std::string CheckReportDocument(const std::string& body);

}  // namespace kestrel::server
