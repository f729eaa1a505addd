#include "store/tool_tables.h"

#include <algorithm>
#include <string>

namespace kestrel::server {
namespace {

constexpr const char* kStatistics = "statistics";
constexpr const char* kFeedback = "feedback";
// Newest first, so the limit drops the oldest; the lists are turned round afterwards.
constexpr const char* kNewestFirst = "seq DESC";

std::vector<std::string> StatisticColumns() {
  std::vector<std::string> columns = {"received"};
  columns.insert(columns.end(), kStatisticMembers.begin(), kStatisticMembers.end());
  columns.push_back("body");
  return columns;
}

const std::vector<std::string> kFeedbackColumns = {"received", "tool_id", "contact", "text"};

std::int64_t RowNumber(const std::string& text) {
  return std::stoll(text);
}

}  // namespace

bool DatabaseToolStore::AddStatistic(StatisticRecord& record) {
  Row values = {record.receivedAt};
  values.insert(values.end(), record.members.begin(), record.members.end());
  values.push_back(record.body);
  std::string error;
  return db_.Insert(kStatistics, StatisticColumns(), values, error, &record.row) ==
         Database::InsertResult::kDone;
}

bool DatabaseToolStore::AddFeedback(FeedbackRecord& record) {
  std::string error;
  return db_.Insert(kFeedback, kFeedbackColumns,
                    {record.receivedAt, record.toolId, record.contact, record.text}, error,
                    &record.row) == Database::InsertResult::kDone;
}

std::vector<StatisticRecord> DatabaseToolStore::Statistics() {
  std::vector<std::string> columns = StatisticColumns();
  columns.insert(columns.begin(), "seq");
  std::string error;
  std::vector<StatisticRecord> out;
  for (const Row& row : db_.List(kStatistics, columns, kNewestFirst, kMaxListedRecords, error)) {
    StatisticRecord r;
    r.row = RowNumber(row[0]);
    r.receivedAt = row[1];
    std::copy(row.begin() + 2, row.begin() + 2 + r.members.size(), r.members.begin());
    r.body = row.back();
    out.push_back(std::move(r));
  }
  std::reverse(out.begin(), out.end());
  return out;
}

std::vector<FeedbackRecord> DatabaseToolStore::Feedback() {
  std::vector<std::string> columns = kFeedbackColumns;
  columns.insert(columns.begin(), "seq");
  std::string error;
  std::vector<FeedbackRecord> out;
  for (const Row& row : db_.List(kFeedback, columns, kNewestFirst, kMaxListedRecords, error)) {
    out.push_back({RowNumber(row[0]), row[1], row[2], row[3], row[4]});
  }
  std::reverse(out.begin(), out.end());
  return out;
}

}  // namespace kestrel::server
