// The overview's pages: the login form and the list of reports with its filters and charts.
#pragma once

#include <string>

#include "admin/report_query.h"

namespace kestrel::server {

inline constexpr const char* kAdminStylePath = "/assets/admin.css";
const char* AdminStyleSheet();

// `message` ("" for none) is shown above the form.
std::string LoginPageHtml(const std::string& message);
std::string OverviewPageHtml(const std::string& account, const ReportFilter& filter,
                             const Overview& overview);
// A page with only a title and a message (a refused filter, a store that is away).
std::string AdminMessageHtml(const std::string& title, const std::string& message);

}  // namespace kestrel::server
