// What the telemetry routes keep: usage statistics and feedback. The routes see only this
// interface; the server keeps them in its SQLite database (store/tool_tables.h).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace kestrel::server {

// The members of a usage statistic, in the order the tool writes them into its request.
inline constexpr std::array<const char*, 7> kStatisticMembers = {
    "id", "versions", "status", "datetime", "PcModel", "Manufacture", "SerialNumber"};

struct StatisticRecord {
  std::int64_t row = 0;    // set by the store, counting from 1
  std::string receivedAt;  // UTC, "YYYY-MM-DD hh:mm:ss"
  // Each member's text exactly as received, in the order of kStatisticMembers.
  std::array<std::string, kStatisticMembers.size()> members;
  std::string body;  // the whole request body
};

struct FeedbackRecord {
  std::int64_t row = 0;
  std::string receivedAt;
  std::string toolId;
  std::string contact;
  std::string text;
};

// At most this many of the newest records are listed.
inline constexpr int kMaxListedRecords = 1000;

class ToolStore {
 public:
  virtual ~ToolStore() = default;
  // Both fill in `row`; false when the record could not be kept.
  virtual bool AddStatistic(StatisticRecord& record) = 0;
  virtual bool AddFeedback(FeedbackRecord& record) = 0;
  // The newest kMaxListedRecords records, oldest first.
  virtual std::vector<StatisticRecord> Statistics() = 0;
  virtual std::vector<FeedbackRecord> Feedback() = 0;
};

}  // namespace kestrel::server
