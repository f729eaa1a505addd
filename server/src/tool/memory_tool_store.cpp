#include "tool_store.h"

namespace kestrel::server {

bool MemoryToolStore::AddStatistic(StatisticRecord& record) {
  std::lock_guard<std::mutex> lock(mutex_);
  record.row = static_cast<std::int64_t>(statistics_.size()) + 1;
  statistics_.push_back(record);
  return true;
}

bool MemoryToolStore::AddFeedback(FeedbackRecord& record) {
  std::lock_guard<std::mutex> lock(mutex_);
  record.row = static_cast<std::int64_t>(feedback_.size()) + 1;
  feedback_.push_back(record);
  return true;
}

std::optional<StatisticRecord> MemoryToolStore::LastStatistic() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (statistics_.empty()) {
    return std::nullopt;
  }
  return statistics_.back();
}

std::optional<FeedbackRecord> MemoryToolStore::LastFeedback() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (feedback_.empty()) {
    return std::nullopt;
  }
  return feedback_.back();
}

}  // namespace kestrel::server
