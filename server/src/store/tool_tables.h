// The tables of the telemetry routes: one row per usage statistic (each member in a column of
// its own, text exactly as received) and one per feedback submission.
#pragma once

#include <string>
#include <vector>

#include "store/database.h"
#include "store/tool_store.h"

namespace kestrel::server {

class DatabaseToolStore final : public ToolStore {
 public:
  explicit DatabaseToolStore(Database& db) : db_(db) {}

  bool AddStatistic(StatisticRecord& record) override;
  bool AddFeedback(FeedbackRecord& record) override;
  std::vector<StatisticRecord> Statistics() override;
  std::vector<FeedbackRecord> Feedback() override;

 private:
  Database& db_;
};

}  // namespace kestrel::server
