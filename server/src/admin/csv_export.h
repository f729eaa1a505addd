// The overview's list as CSV for a spreadsheet: UTF-8 with a byte-order mark (which the common
// spreadsheet programs need to read Chinese), every cell quoted, and no cell that a spreadsheet
// would take for a formula.
#pragma once

#include <string>
#include <vector>

#include "admin/report_query.h"

namespace kestrel::server {

// One cell: quoted, inner quotes doubled; a text starting with = + - @, a tab or a carriage
// return gets a leading apostrophe, so that it stays text.
std::string CsvCell(const std::string& text);
std::string ReportsCsv(const std::vector<ListedReport>& reports);

}  // namespace kestrel::server
