// Behaviours a test switches on through /_test/set; the defaults come from the options and
// /_test/reset returns to them.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace kestrel::server {

enum class PayloadFault { kNone, kStall, kDrop, kNoLength };
enum class ReportMode {
  kNormal,
  kCode201,
  kUnknownCode,
  kNoCode,
  kNotJson,
  kStall,
  kDrop,
  kEndless
};
enum class VersionMode { kNormal, kNotJson, kFraction, kText, kStall };

struct Modes {
  std::int64_t payloadRate = 0;
  std::int64_t payloadBytes = 0;
  PayloadFault payloadFault = PayloadFault::kNone;
  ReportMode reportMode = ReportMode::kNormal;
  VersionMode versionMode = VersionMode::kNormal;
  std::string versionCurrent;
  std::string versionUrl;
};

class TestModes {
 public:
  explicit TestModes(Modes defaults);

  Modes Get() const;
  void Reset();
  // Applies every pair or none; on a bad key or value returns a message naming it.
  std::string Apply(const std::vector<std::pair<std::string, std::string>>& settings);

 private:
  mutable std::mutex mutex_;
  const Modes defaults_;
  Modes current_;
};

}  // namespace kestrel::server
