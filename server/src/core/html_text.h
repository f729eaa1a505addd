// The one HTML escape of every page the server draws.
#pragma once

#include <string>
#include <string_view>

namespace kestrel::server {

// The text with & < > " and ' replaced by entities: safe in element content and in quoted
// attribute values.
std::string EscapeHtml(std::string_view text);

}  // namespace kestrel::server
