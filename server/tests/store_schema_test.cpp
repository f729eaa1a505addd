// The versioned schema on both stores: applied once however often (and by however many
// instances at once) it is applied, an old unversioned SQLite file upgraded with its reports
// summarised, and report numbers that are taken drawn again, never overwritten.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <thread>

#include "server_harness.h"
#include "store/report_table.h"
#include "store/schema.h"

namespace kestrel::server::test {
namespace {

std::string FullReport() {
  std::ifstream in(KESTREL_TESTDATA_DIR "/reports/full_report.json", std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

std::vector<Row> Rows(Database& db, const std::string& sql) {
  std::vector<Row> rows;
  std::string error;
  EXPECT_GE(db.Run(sql, {}, &rows, error), 0) << error;
  return rows;
}

class StoreSchemaTest : public StoreTest {
 protected:
  std::unique_ptr<Database> Open(const std::string& target) {
    std::string error;
    auto db = Database::Open(target, error);
    EXPECT_TRUE(db) << error;
    return db;
  }
};

TEST_P(StoreSchemaTest, StepsApplyOnceEvenFromInstancesStartingTogether) {
  const std::string target = GetParam() == StoreKind::kSqlite
                                 ? testing::TempDir() + "schema" + std::to_string(getpid()) + ".db"
                                 : FreshStore();
  std::remove(target.c_str());
  std::vector<std::unique_ptr<Database>> dbs;
  for (int i = 0; i < 4; ++i) {
    dbs.push_back(Open(target));
    ASSERT_TRUE(dbs.back());
  }
  std::vector<std::thread> starting;
  std::vector<std::string> errors(dbs.size());
  std::vector<int> ok(dbs.size());
  for (std::size_t i = 0; i < dbs.size(); ++i) {
    starting.emplace_back([&, i] { ok[i] = PrepareStore(*dbs[i], errors[i]); });
  }
  for (auto& t : starting) {
    t.join();
  }
  for (std::size_t i = 0; i < dbs.size(); ++i) {
    EXPECT_TRUE(ok[i]) << errors[i];
  }
  std::string error;
  EXPECT_TRUE(PrepareStore(*dbs[0], error)) << error;
  const auto versions = Rows(*dbs[0], "SELECT version FROM schema_version ORDER BY version");
  ASSERT_EQ(versions.size(), SchemaSteps().size());
  for (std::size_t i = 0; i < versions.size(); ++i) {
    EXPECT_EQ(versions[i][0], std::to_string(SchemaSteps()[i].version));
  }
  dbs.clear();
  if (GetParam() == StoreKind::kSqlite) {
    for (const char* tail : {"", "-wal", "-shm"}) {
      std::remove((target + tail).c_str());
    }
  }
}

TEST_P(StoreSchemaTest, ATakenNumberIsDrawnAgainAndTheFirstReportStays) {
  auto db = Open(FreshStore());
  ASSERT_TRUE(db);
  std::string error;
  ASSERT_TRUE(PrepareStore(*db, error)) << error;
  const std::string first = AddReport(*db, "{\"first\":1}", error, [] { return "111111111111"; });
  ASSERT_EQ(first, "111111111111") << error;
  // The same number twice more, then a free one: the third draw is stored.
  int draws = 0;
  const std::string second = AddReport(*db, "{\"second\":2}", error, [&draws] {
    return ++draws < 3 ? std::string("111111111111") : std::string("222222222222");
  });
  EXPECT_EQ(second, "222222222222") << error;
  EXPECT_EQ(draws, 3);
  EXPECT_EQ(FindReport(*db, first)->document, "{\"first\":1}");
  EXPECT_EQ(FindReport(*db, second)->document, "{\"second\":2}");
  // Every draw taken: refused, nothing overwritten.
  EXPECT_EQ(AddReport(*db, "{}", error, [] { return "111111111111"; }), "");
  EXPECT_EQ(error, "no free report number");
  EXPECT_EQ(FindReport(*db, first)->document, "{\"first\":1}");
  EXPECT_EQ(Rows(*db, "SELECT COUNT(*) FROM reports")[0][0], "2");
}

KESTREL_BOTH_STORES(StoreSchemaTest);

TEST(StoreUpgradeTest, AnUnversionedFileGetsTheSchemaAndItsReportsAreSummarised) {
  const std::string path = testing::TempDir() + "old" + std::to_string(getpid()) + ".db";
  std::remove(path.c_str());
  std::string error;
  {
    auto old = Database::Open(path, error);
    ASSERT_TRUE(old) << error;
    // The tables as the server made them before the schema had versions.
    ASSERT_TRUE(old->Exec(
        "CREATE TABLE reports (number TEXT PRIMARY KEY, document TEXT NOT NULL, received TEXT NOT "
        "NULL, optimize TEXT NOT NULL DEFAULT '');"
        "CREATE TABLE feedback (seq INTEGER PRIMARY KEY, received TEXT NOT NULL, tool_id TEXT NOT "
        "NULL, contact TEXT NOT NULL, text TEXT NOT NULL);",
        error))
        << error;
    ASSERT_EQ(old->Insert("reports", {"number", "document", "received"},
                          {"123456789012", FullReport(), "2026-12-01T08:00:00Z"}, error),
              Database::InsertResult::kDone);
    ASSERT_EQ(old->Insert("reports", {"number", "document", "received"},
                          {"223456789012", "not json", "2026-12-01T08:00:00Z"}, error),
              Database::InsertResult::kDone);
  }
  auto db = Database::Open(path, error);
  ASSERT_TRUE(db && PrepareStore(*db, error)) << error;
  const auto rows =
      Rows(*db, "SELECT number, score, device, problems FROM reports ORDER BY number");
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_NE(rows[0][1], "0");
  EXPECT_FALSE(rows[0][2].empty());
  EXPECT_EQ(rows[0][3].front(), ',');
  EXPECT_EQ(rows[1][1], "0");
  EXPECT_EQ(rows[1][3], ",");
  EXPECT_EQ(FindReport(*db, "123456789012")->document, FullReport());
  db.reset();
  for (const char* tail : {"", "-wal", "-shm"}) {
    std::remove((path + tail).c_str());
  }
}

}  // namespace
}  // namespace kestrel::server::test
