#include "core/test_modes.h"

#include <charconv>

#include "core/versions.h"

namespace kestrel::server {
namespace {

template <typename Enum, std::size_t N>
bool Lookup(const std::pair<const char*, Enum> (&table)[N], const std::string& name, Enum& out) {
  for (const auto& entry : table) {
    if (name == entry.first) {
      out = entry.second;
      return true;
    }
  }
  return false;
}

constexpr std::pair<const char*, PayloadFault> kFaults[] = {
    {"none", PayloadFault::kNone},
    {"stall", PayloadFault::kStall},
    {"drop", PayloadFault::kDrop},
    {"nolength", PayloadFault::kNoLength},
};

constexpr std::pair<const char*, ReportMode> kReportModes[] = {
    {"normal", ReportMode::kNormal},
    {"code201", ReportMode::kCode201},
    {"unknowncode", ReportMode::kUnknownCode},
    {"nocode", ReportMode::kNoCode},
    {"notjson", ReportMode::kNotJson},
    {"stall", ReportMode::kStall},
    {"drop", ReportMode::kDrop},
    {"endless", ReportMode::kEndless},
};

constexpr std::pair<const char*, VersionMode> kVersionModes[] = {
    {"normal", VersionMode::kNormal},     {"notjson", VersionMode::kNotJson},
    {"fraction", VersionMode::kFraction}, {"text", VersionMode::kText},
    {"stall", VersionMode::kStall},
};

bool ParseCount(const std::string& text, std::int64_t low, std::int64_t& out) {
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, out);
  return !text.empty() && ec == std::errc() && ptr == end && out >= low;
}

}  // namespace

TestModes::TestModes(Modes defaults) : defaults_(std::move(defaults)), current_(defaults_) {}

Modes TestModes::Get() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return current_;
}

void TestModes::Reset() {
  std::lock_guard<std::mutex> lock(mutex_);
  current_ = defaults_;
}

std::string TestModes::Apply(const std::vector<std::pair<std::string, std::string>>& settings) {
  std::lock_guard<std::mutex> lock(mutex_);
  Modes next = current_;
  for (const auto& [key, value] : settings) {
    bool ok = false;
    if (key == "payload.rate") {
      ok = ParseCount(value, 0, next.payloadRate);
    } else if (key == "payload.bytes") {
      ok = ParseCount(value, 1, next.payloadBytes);
    } else if (key == "payload.fault") {
      ok = Lookup(kFaults, value, next.payloadFault);
    } else if (key == "report.mode") {
      ok = Lookup(kReportModes, value, next.reportMode);
    } else if (key == "version.mode") {
      ok = Lookup(kVersionModes, value, next.versionMode);
    } else if (key == "version.current") {
      next.versionCurrent = value;
      ok = CompareVersions(value, "0").has_value();
    } else if (key == "version.url") {
      next.versionUrl = value;
      ok = true;
    } else {
      return "unknown key " + key;
    }
    if (!ok) {
      return "bad value for " + key + ": " + value;
    }
  }
  current_ = std::move(next);
  return {};
}

}  // namespace kestrel::server
