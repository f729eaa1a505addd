// The server's one SQLite database: a small, generic layer that every table's code builds on
// (a schema to run, a row of text columns to insert, a row to fetch by its key).
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace kestrel::server {

// The column values of one row, in the order the statement named them.
using Row = std::vector<std::string>;

class Database {
 public:
  // ":memory:" keeps nothing after the process; any other path is a file in WAL mode.
  static std::unique_ptr<Database> Open(const std::string& path, std::string& error);
  ~Database();
  Database(const Database&) = delete;
  Database& operator=(const Database&) = delete;

  // Runs one or more statements without parameters (CREATE TABLE ... and the like).
  bool Exec(const std::string& sql, std::string& error);
  enum class InsertResult { kDone, kTaken, kFailed };
  // INSERT INTO table (columns...) VALUES (?...); kTaken when a UNIQUE or PRIMARY KEY is taken.
  // `rowId`, when given, receives the new row's rowid, read under the same lock as the insert.
  InsertResult Insert(const std::string& table, const std::vector<std::string>& columns,
                      const Row& values, std::string& error, std::int64_t* rowId = nullptr);
  // SELECT columns FROM table WHERE keyColumn = key; empty when no row has that key.
  std::optional<Row> Fetch(const std::string& table, const std::vector<std::string>& columns,
                           const std::string& keyColumn, const std::string& key,
                           std::string& error);
  // UPDATE table SET columns = values WHERE keyColumn = key; the number of rows changed, or -1.
  int Update(const std::string& table, const std::vector<std::string>& columns, const Row& values,
             const std::string& keyColumn, const std::string& key, std::string& error);
  // Rows of table (columns as given), at most `limit`, ordered by `orderBy` (a column name).
  std::vector<Row> List(const std::string& table, const std::vector<std::string>& columns,
                        const std::string& orderBy, int limit, std::string& error);

 private:
  explicit Database(sqlite3* db);
  // A prepared statement kept for the life of the connection, reset before it is returned.
  sqlite3_stmt* Prepared(const std::string& sql, std::string& error);
  // Binds the texts, runs the statement to its end and collects the rows; false on an error.
  bool Step(sqlite3_stmt* stmt, const Row& binds, std::vector<Row>* rows, std::string& error);

  // One connection shared by every request thread; SQLite runs one writer at a time anyway.
  std::mutex mutex_;
  sqlite3* db_;
  std::map<std::string, sqlite3_stmt*> statements_;
  bool lastConstraint_ = false;  // of the last Step, read under the same lock
};

// The database file the options name: --db, else DIR/kestrel.db for --data DIR, else in memory.
std::string DatabasePath(const std::string& dbFile, const std::string& dataDir);

}  // namespace kestrel::server
