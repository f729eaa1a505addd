// The report page: a stored report document shown as a Chinese HTML page for phone and desktop.
#pragma once

#include <string>

#include "core/html_text.h"  // every text taken from the document or the table is escaped
#include "store/report_table.h"

namespace kestrel::server {

struct ServerContext;

// The page's style sheet lives apart from it: the pages allow no inline style.
inline constexpr const char* kReportStylePath = "/assets/report.css";
const char* ReportStyleSheet();

struct PageAnswer {
  int status;
  std::string html;
};

// The page of one stored report; a document that is not a JSON object shows dashes.
std::string RenderReportPage(const StoredReport& report);
// The page of a number that is malformed or names no report.
std::string RenderMissingReportPage(const std::string& number);
// The page shown while the store cannot be reached.
std::string RenderUnavailablePage();
// Looks the number up: 200 with the report page, else 404 with the missing page, or 503 when
// the store failed.
PageAnswer ReportPageFor(ServerContext& ctx, const std::string& number);

}  // namespace kestrel::server
