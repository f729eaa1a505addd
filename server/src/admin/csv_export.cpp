#include "admin/csv_export.h"

#include "core/report_summary.h"

namespace kestrel::server {

std::string CsvCell(const std::string& text) {
  std::string out = "\"";
  if (!text.empty() && std::string("=+-@\t\r").find(text[0]) != std::string::npos) {
    out += '\'';
  }
  for (char c : text) {
    out += c;
    if (c == '"') {
      out += '"';
    }
  }
  return out + "\"";
}

std::string ReportsCsv(const std::vector<ListedReport>& reports) {
  std::string out = "\xEF\xBB\xBF";
  for (const char* name : {"报告编号", "上传时间", "设备", "序列号", "总分", "问题"}) {
    out += std::string(out.size() > 3 ? "," : "") + CsvCell(name);
  }
  out += "\r\n";
  for (const ListedReport& r : reports) {
    std::string problems;
    for (const std::string& code : r.problems) {
      const char* label = ProblemLabel(code);
      problems += (problems.empty() ? "" : "；") + std::string(label ? label : code.c_str());
    }
    out += CsvCell(r.number) + "," + CsvCell(r.received) + "," + CsvCell(r.device) + "," +
           CsvCell(r.serial) + "," + CsvCell(std::to_string(r.score)) + "," + CsvCell(problems) +
           "\r\n";
  }
  return out;
}

}  // namespace kestrel::server
