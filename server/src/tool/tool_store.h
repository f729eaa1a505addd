// What the telemetry routes keep: usage statistics and feedback. The routes see only this
// interface, so they are tested against the in-memory store and run on the database one.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace kestrel::server {

// The members of a usage statistic, in the order the tool writes them into its request.
inline constexpr std::array<const char*, 7> kStatisticMembers = {
    "id", "versions", "status", "datetime", "PcModel", "Manufacture", "SerialNumber"};

struct StatisticRecord {
  std::int64_t row = 0;    // set by the store, counting from 1
  std::string receivedAt;  // UTC, "YYYY-MM-DD hh:mm:ss"
  // Each member's text exactly as received; empty optional when the request lacked it.
  std::array<std::optional<std::string>, kStatisticMembers.size()> members;
  std::string body;  // the whole request body
};

struct FeedbackRecord {
  std::int64_t row = 0;
  std::string receivedAt;
  std::string toolId;
  std::string contact;
  std::string text;
};

class ToolStore {
 public:
  virtual ~ToolStore() = default;
  // Both fill in `row`; false when the record could not be kept.
  virtual bool AddStatistic(StatisticRecord& record) = 0;
  virtual bool AddFeedback(FeedbackRecord& record) = 0;
  virtual std::optional<StatisticRecord> LastStatistic() = 0;
  virtual std::optional<FeedbackRecord> LastFeedback() = 0;
};

class MemoryToolStore final : public ToolStore {
 public:
  bool AddStatistic(StatisticRecord& record) override;
  bool AddFeedback(FeedbackRecord& record) override;
  std::optional<StatisticRecord> LastStatistic() override;
  std::optional<FeedbackRecord> LastFeedback() override;

 private:
  std::mutex mutex_;
  std::vector<StatisticRecord> statistics_;
  std::vector<FeedbackRecord> feedback_;
};

}  // namespace kestrel::server
