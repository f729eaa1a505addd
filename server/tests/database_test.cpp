// The generic store over a real SQLite file and in memory.
#include "store/database.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <thread>

#include "postgres_fixture.h"

namespace kestrel::server {
namespace {

const std::vector<std::string> kColumns = {"k", "a", "b"};

std::string TempFile(const char* name) {
  return testing::TempDir() + name + std::to_string(getpid()) + ".db";
}

// In memory, in a file, in PostgreSQL (where byte columns are BYTEA).
enum Where { kMemory, kFile, kPostgres };

class DatabaseTest : public testing::TestWithParam<Where> {
 protected:
  void SetUp() override {
    std::string error;
    if (GetParam() == kPostgres) {
      test::PostgresServer* pg = test::PostgresServer::Shared(error);
      ASSERT_TRUE(pg) << error;
      path_ = pg->NewDatabase(error);
    } else {
      path_ = GetParam() == kFile ? TempFile("store") : ":memory:";
      std::remove(path_.c_str());
    }
    db_ = Database::Open(path_, error);
    ASSERT_TRUE(db_) << error;
    const char* bytes = GetParam() == kPostgres ? "BYTEA" : "TEXT";
    ASSERT_TRUE(db_->Exec(std::string("CREATE TABLE t (k TEXT PRIMARY KEY, a ") + bytes +
                              " NOT NULL, b " + bytes + ")",
                          error))
        << error;
  }
  void TearDown() override {
    db_.reset();
    if (GetParam() == kFile) {
      for (const char* tail : {"", "-wal", "-shm"}) {
        std::remove((path_ + tail).c_str());
      }
    }
  }
  std::string path_;
  std::unique_ptr<Database> db_;
};

TEST_P(DatabaseTest, RowsRoundTripByteForByte) {
  std::string error;
  const Row rows[] = {
      {"1", "plain", "x"},
      {"2", std::string("nul\0inside", 10), ""},
      {"3", "\xE4\xB8\xAD\xE6\x96\x87 'quoted' \"double\"; DROP TABLE t;--", "\\"},
  };
  for (const Row& row : rows) {
    ASSERT_EQ(db_->Insert("t", kColumns, row, error), Database::InsertResult::kDone) << error;
  }
  for (const Row& row : rows) {
    const auto got = db_->Fetch("t", {"a", "b"}, "k", row[0], error);
    ASSERT_TRUE(got) << row[0];
    EXPECT_EQ((*got)[0], row[1]);
    EXPECT_EQ((*got)[1], row[2]);
  }
  EXPECT_FALSE(db_->Fetch("t", {"a"}, "k", "4", error));
  EXPECT_EQ(db_->List("t", {"k"}, "k", 2, error).size(), 2u);
}

TEST_P(DatabaseTest, ATakenKeyAndABrokenConstraintAreTold) {
  std::string error;
  ASSERT_EQ(db_->Insert("t", kColumns, {"1", "a", "b"}, error), Database::InsertResult::kDone);
  EXPECT_EQ(db_->Insert("t", kColumns, {"1", "c", "d"}, error), Database::InsertResult::kTaken);
  EXPECT_EQ(db_->Insert("nope", kColumns, {"2", "c", "d"}, error), Database::InsertResult::kFailed);
  EXPECT_FALSE(error.empty());
  EXPECT_EQ((*db_->Fetch("t", {"a"}, "k", "1", error))[0], "a");
}

TEST_P(DatabaseTest, UpdateCountsTheRowsItChanged) {
  std::string error;
  ASSERT_EQ(db_->Insert("t", kColumns, {"1", "a", "b"}, error), Database::InsertResult::kDone);
  EXPECT_EQ(db_->Update("t", {"b"}, {"new"}, "k", "1", error), 1);
  EXPECT_EQ(db_->Update("t", {"b"}, {"new"}, "k", "9", error), 0);
  EXPECT_EQ(db_->Update("t", {"zz"}, {"new"}, "k", "1", error), -1);
  EXPECT_EQ((*db_->Fetch("t", {"b"}, "k", "1", error))[0], "new");
}

TEST_P(DatabaseTest, ThreadsShareTheStoreSafely) {
  constexpr int kThreads = 8, kEach = 50;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([this, t] {
      std::string error;
      for (int i = 0; i < kEach; ++i) {
        const std::string key = std::to_string(t * kEach + i);
        EXPECT_EQ(db_->Insert("t", kColumns, {key, key, ""}, error), Database::InsertResult::kDone);
        EXPECT_EQ((*db_->Fetch("t", {"a"}, "k", key, error))[0], key);
      }
    });
  }
  for (auto& t : threads) {
    t.join();
  }
  std::string error;
  EXPECT_EQ(db_->List("t", {"k"}, "k", 1000, error).size(), std::size_t{kThreads * kEach});
}

INSTANTIATE_TEST_SUITE_P(Stores, DatabaseTest, testing::Values(kMemory, kFile, kPostgres),
                         [](const testing::TestParamInfo<Where>& where) {
                           return std::string(where.param == kMemory ? "Memory"
                                              : where.param == kFile ? "File"
                                                                     : "Postgres");
                         });

TEST(DatabaseOpenTest, AFileIsInWalModeAndKeepsItsRows) {
  const std::string path = TempFile("wal");
  std::remove(path.c_str());
  std::string error;
  {
    auto db = Database::Open(path, error);
    ASSERT_TRUE(db) << error;
    ASSERT_TRUE(db->Exec("CREATE TABLE t (k TEXT PRIMARY KEY, v TEXT)", error));
    ASSERT_EQ(db->Insert("t", {"k", "v"}, {"a", "b"}, error), Database::InsertResult::kDone);
    EXPECT_TRUE(db->Fetch("pragma_journal_mode", {"journal_mode"}, "journal_mode", "wal", error));
  }
  auto again = Database::Open(path, error);
  ASSERT_TRUE(again) << error;
  EXPECT_EQ((*again->Fetch("t", {"v"}, "k", "a", error))[0], "b");
  again.reset();
  for (const char* tail : {"", "-wal", "-shm"}) {
    std::remove((path + tail).c_str());
  }
  EXPECT_FALSE(Database::Open("/nonexistent-dir/x.db", error));
  EXPECT_NE(error.find("/nonexistent-dir/x.db"), std::string::npos);
}

TEST(DatabaseOpenTest, PathComesFromTheOptions) {
  EXPECT_EQ(DatabasePath("/a/b.db", "/d"), "/a/b.db");
  EXPECT_EQ(DatabasePath("", "/d"), "/d/kestrel.db");
  EXPECT_EQ(DatabasePath("", ""), ":memory:");
}

}  // namespace
}  // namespace kestrel::server
