#include "store/schema.h"

#include "core/report_summary.h"
#include "store/tool_store.h"

namespace kestrel::server {
namespace {

// Byte columns hold what clients sent exactly (any bytes); PostgreSQL keeps them as BYTEA.
std::string StatisticsTable(const char* seq, const char* bytes) {
  std::string sql = std::string("CREATE TABLE IF NOT EXISTS statistics (seq ") + seq +
                    ", received TEXT NOT NULL, ";
  for (const char* member : kStatisticMembers) {
    sql += std::string(member) + " " + bytes + " NOT NULL, ";
  }
  return sql + "body " + bytes + " NOT NULL)";
}

std::string FirstStep(const char* seq, const char* bytes) {
  return std::string("CREATE TABLE IF NOT EXISTS reports (number TEXT PRIMARY KEY, document ") +
         bytes + " NOT NULL, received TEXT NOT NULL, optimize TEXT NOT NULL DEFAULT '');" +
         StatisticsTable(seq, bytes) + ";CREATE TABLE IF NOT EXISTS feedback (seq " + seq +
         ", received TEXT NOT NULL, tool_id " + bytes + " NOT NULL, contact " + bytes +
         " NOT NULL, text " + bytes + " NOT NULL)";
}

std::string SecondStep(const char* seq) {
  return std::string(
             "ALTER TABLE reports ADD COLUMN score INTEGER;"
             "ALTER TABLE reports ADD COLUMN device TEXT;"
             "ALTER TABLE reports ADD COLUMN serial TEXT;"
             "ALTER TABLE reports ADD COLUMN problems TEXT;"
             "CREATE INDEX reports_received ON reports (received);"
             "CREATE TABLE admin_accounts (name TEXT PRIMARY KEY, salt TEXT NOT NULL, "
             "hash TEXT NOT NULL, iterations INTEGER NOT NULL, created TEXT NOT NULL);"
             "CREATE TABLE admin_sessions (token_hash TEXT PRIMARY KEY, name TEXT NOT NULL, "
             "expires BIGINT NOT NULL);"
             "CREATE TABLE admin_failures (seq ") +
         seq +
         ", who TEXT NOT NULL, at BIGINT NOT NULL);"
         "CREATE INDEX admin_failures_who ON admin_failures (who, at)";
}

struct Texts {
  std::string sqlite1 = FirstStep("INTEGER PRIMARY KEY", "TEXT");
  std::string postgres1 = FirstStep("BIGSERIAL PRIMARY KEY", "BYTEA");
  std::string sqlite2 = SecondStep("INTEGER PRIMARY KEY");
  std::string postgres2 = SecondStep("BIGSERIAL PRIMARY KEY");
};

constexpr int kBackfillBatch = 200;

}  // namespace

const std::vector<Migration>& SchemaSteps() {
  static const Texts texts;
  static const std::vector<Migration> steps = {
      {1, texts.sqlite1.c_str(), texts.postgres1.c_str()},
      {2, texts.sqlite2.c_str(), texts.postgres2.c_str()},
  };
  return steps;
}

bool PrepareStore(Database& db, std::string& error) {
  if (!db.Migrate(SchemaSteps(), error)) {
    return false;
  }
  for (;;) {
    std::vector<Row> rows;
    if (db.Run("SELECT number, document FROM reports WHERE score IS NULL LIMIT " +
                   std::to_string(kBackfillBatch),
               {}, &rows, error) < 0) {
      return false;
    }
    for (const Row& row : rows) {
      const ReportSummary s = SummariseReport(row[1]);
      if (db.Update("reports", {"score", "device", "serial", "problems"},
                    {std::to_string(s.score), s.device, s.serial, s.problems}, "number", row[0],
                    error) < 0) {
        return false;
      }
    }
    if (rows.size() < static_cast<std::size_t>(kBackfillBatch)) {
      return true;
    }
  }
}

}  // namespace kestrel::server
