// What the overview shows of a report without opening it: the total score, the device and the
// problems the desktop program would name, computed once when the report is stored.
#pragma once

#include <json/value.h>

#include <string>
#include <vector>

namespace kestrel::server {

struct ProblemKind {
  const char* code;   // in the problems column and the filter
  const char* label;  // as the desktop program names it
};

inline constexpr ProblemKind kProblemKinds[] = {
    {"mic", "麦克风问题待解决"},
    {"camera", "摄像头问题待解决"},
    {"os", "操作系统版本偏低"},
    {"cpu", "CPU性能有待提升"},
    {"memory-use", "内存使用情况可优化"},
    {"memory-size", "内存有待升级"},
    {"disk-space", "硬盘有待升级"},
    {"disk-use", "硬盘使用情况可优化"},
    {"dns", "网卡DNS可优化"},
    {"lan", "接入设备数量较多"},
    {"bandwidth", "不符合网课带宽最低要求"},
};

// The label of a problem code, or null for an unknown code.
const char* ProblemLabel(const std::string& code);

struct ReportSummary {
  long long score = 0;
  std::string device;  // manufacturer and model, valid UTF-8
  std::string serial;
  // The codes of the problems, comma-separated and framed by commas (",cpu,lan,"), so that one
  // problem is found with LIKE '%,cpu,%'; "," when there is none.
  std::string problems;
};

// The total the desktop program shows: the CPU, memory and disk scores, every router and LAN
// score and the download score (the system disk score is shown but not counted).
Json::Int64 TotalScore(const Json::Value& doc);
ReportSummary SummariseReport(const Json::Value& doc);
// The same of a stored document's text; a text that is not a JSON object has no problems.
ReportSummary SummariseReport(const std::string& document);
// The codes of a problems column, in order.
std::vector<std::string> ProblemCodes(const std::string& column);
// The text with every byte that does not belong to well-formed UTF-8 turned into '?'.
std::string ValidUtf8(const std::string& text);

}  // namespace kestrel::server
