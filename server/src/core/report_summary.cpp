#include "core/report_summary.h"

#include <json/reader.h>

#include <algorithm>
#include <memory>
#include <string_view>

#include "kestrel/utf8.h"

namespace kestrel::server {
namespace {

const Json::Value& Member(const Json::Value& v, const char* key) {
  static const Json::Value kNull;
  return v.isObject() && v.isMember(key) ? v[key] : kNull;
}

Json::Int64 Number(const Json::Value& v) {
  return v.isInt64() ? v.asInt64() : 0;
}

std::string Text(const Json::Value& v) {
  return v.isString() ? v.asString() : std::string();
}

Json::Int64 Sum(const Json::Value& doc, std::initializer_list<const char*> keys) {
  Json::Int64 total = 0;
  for (const char* key : keys) {
    total += Number(Member(doc, key));
  }
  return total;
}

const Json::Value& Items(const Json::Value& doc, const char* key) {
  static const Json::Value kEmpty(Json::arrayValue);
  const Json::Value& v = Member(doc, key);
  return v.isArray() ? v : kEmpty;
}

// Whether a test server answers better than the adapter's worst local server (the most lost
// requests; among equals, the fastest).
bool DnsCanImprove(const Json::Value& entry) {
  const Json::Value& local = Items(entry, "LocalDNS");
  const Json::Value& test = Items(entry, "TestDNS");
  if (local.empty() || test.empty()) {
    return false;
  }
  Json::Int64 lost = Number(Member(local[0], "Lost"));
  Json::Int64 average = Number(Member(local[0], "Average"));
  for (Json::ArrayIndex i = 1; i < local.size(); ++i) {
    const Json::Int64 l = Number(Member(local[i], "Lost"));
    const Json::Int64 a = Number(Member(local[i], "Average"));
    if (l > lost || (l == lost && a < average)) {
      lost = l;
      average = a;
    }
  }
  for (const Json::Value& t : test) {
    const Json::Int64 l = Number(Member(t, "Lost"));
    if (l < lost || (l == lost && Number(Member(t, "Average")) < average)) {
      return true;
    }
  }
  return false;
}

bool HasProblem(const Json::Value& doc, const std::string& code) {
  if (code == "mic") {
    return Number(Member(doc, "MicrophoneState")) == 2;
  }
  if (code == "camera") {
    return Number(Member(doc, "CameraState")) == 2;
  }
  if (code == "os") {
    return Number(Member(doc, "CurSystemVersionNumber")) < 10;
  }
  if (code == "cpu") {
    return Sum(doc, {"MaxClockSpeedScore", "NumberOfCoresScore", "NumberOfLogicalProcessorsScore",
                     "L2CacheSizeScore", "L3CacheSizeScore"}) < 95 ||
           Number(Member(doc, "CPUUtilization")) > 20;
  }
  if (code == "memory-use") {
    return Number(Member(doc, "MemoryOccupancyScore")) < 30;
  }
  if (code == "memory-size") {
    return Number(Member(doc, "MemorySumSize")) < 8000;
  }
  if (code == "disk-space") {
    return Number(Member(doc, "SystemDiskRemainingSpace")) < 6144;
  }
  if (code == "disk-use") {
    return Number(Member(doc, "HardDiskSpeedScore")) < 50 ||
           Number(Member(doc, "HardDiskSizeScore")) <= 15;
  }
  if (code == "dns") {
    for (const Json::Value& entry : Items(doc, "DNSTestInfo")) {
      if (DnsCanImprove(entry)) {
        return Number(Member(doc, "Optimize")) == 0;
      }
    }
    return false;
  }
  if (code == "lan") {
    Json::Int64 lowest = 10000;
    for (const Json::Value& entry : Items(doc, "NumberLanDevicesInfo")) {
      lowest = std::min(lowest, Number(Member(entry, "NumberLanDevicesScore")));
    }
    return lowest <= 25;
  }
  if (code == "bandwidth") {
    return Number(Member(doc, "DownloadSpeedScore")) < 55;
  }
  return false;
}

}  // namespace

const char* ProblemLabel(const std::string& code) {
  for (const ProblemKind& kind : kProblemKinds) {
    if (code == kind.code) {
      return kind.label;
    }
  }
  return nullptr;
}

Json::Int64 TotalScore(const Json::Value& doc) {
  Json::Int64 total =
      Sum(doc, {"MaxClockSpeedScore", "NumberOfCoresScore", "NumberOfLogicalProcessorsScore",
                "L2CacheSizeScore", "L3CacheSizeScore", "MemorySumSizeScore", "SpeedScore",
                "MemoryOccupancyScore", "MemoryNumberScore", "HardDiskSizeScore",
                "HardDiskSpeedScore", "DownloadSpeedScore"});
  for (const auto& [list, key] : {std::pair{"HostToRouterDelayInfo", "HostToRouterScore"},
                                  std::pair{"NumberLanDevicesInfo", "NumberLanDevicesScore"}}) {
    for (const Json::Value& item : Items(doc, list)) {
      total += Number(Member(item, key));
    }
  }
  return total;
}

ReportSummary SummariseReport(const Json::Value& doc) {
  ReportSummary out;
  if (!doc.isObject()) {
    out.problems = ",";
    return out;
  }
  out.score = TotalScore(doc);
  const std::string maker = Text(Member(doc, "Manufacturer"));
  const std::string model = Text(Member(doc, "HostTypeName"));
  out.device = ValidUtf8(maker + (maker.empty() || model.empty() ? "" : " ") + model);
  out.serial = ValidUtf8(Text(Member(doc, "SerialNumber")));
  out.problems = ",";
  for (const ProblemKind& kind : kProblemKinds) {
    if (HasProblem(doc, kind.code)) {
      out.problems += std::string(kind.code) + ",";
    }
  }
  return out;
}

ReportSummary SummariseReport(const std::string& document) {
  Json::CharReaderBuilder builder;
  const std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
  Json::Value doc;
  std::string errors;
  if (!reader->parse(document.data(), document.data() + document.size(), &doc, &errors)) {
    doc = Json::Value();
  }
  return SummariseReport(doc);
}

std::vector<std::string> ProblemCodes(const std::string& column) {
  std::vector<std::string> out;
  std::size_t start = 0;
  while (start < column.size()) {
    const std::size_t comma = column.find(',', start);
    const std::size_t end = comma == std::string::npos ? column.size() : comma;
    if (end > start) {
      out.push_back(column.substr(start, end - start));
    }
    start = end + 1;
  }
  return out;
}

std::string ValidUtf8(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  const std::string_view view(text);
  for (std::size_t i = 0; i < view.size();) {
    char32_t cp = 0;
    const std::size_t length = DecodeUtf8(view.substr(i), &cp);
    if (length > 0 && cp != 0) {
      out.append(view.substr(i, length));
      i += length;
    } else {
      out += '?';
      ++i;
    }
  }
  return out;
}

}  // namespace kestrel::server
