// The server's store: one small, generic interface that every table's code builds on (a row of
// text columns to insert, a row to fetch by its key, any statement with bound values), kept
// either in an embedded SQLite file or in a PostgreSQL database that several instances share.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kestrel::server {

// The column values of one row, in the order the statement named them.
using Row = std::vector<std::string>;

// One step of the schema: its version and its statements for each kind of store.
struct Migration {
  int version;
  const char* sqlite;
  const char* postgres;
};

class Database {
 public:
  enum class Kind { kSqlite, kPostgres };

  // "postgresql://..." (or "postgres://...") is a PostgreSQL database; "sqlite:PATH" or a plain
  // path is an SQLite file, ":memory:" one that keeps nothing after the process.
  static std::unique_ptr<Database> Open(const std::string& target, std::string& error);
  virtual ~Database() = default;
  Database(const Database&) = delete;
  Database& operator=(const Database&) = delete;

  virtual Kind Dialect() const = 0;
  // Runs one or more statements without parameters (CREATE TABLE ... and the like).
  virtual bool Exec(const std::string& sql, std::string& error) = 0;
  // Any one statement with ? placeholders, its values bound: the rows of a query go to `rows`;
  // returns the number of rows changed, or -1 with `error` set.
  virtual int Run(const std::string& sql, const Row& binds, std::vector<Row>* rows,
                  std::string& error) = 0;
  // Applies, in order and each in a transaction of its own, the steps newer than the version the
  // store holds. Several instances starting at once on one database apply each step once.
  virtual bool Migrate(const std::vector<Migration>& steps, std::string& error) = 0;

  enum class InsertResult { kDone, kTaken, kFailed };
  // INSERT INTO table (columns...) VALUES (?...); kTaken when a UNIQUE or PRIMARY KEY is taken.
  // `rowId`, when given, receives the new row's `seq` column.
  InsertResult Insert(const std::string& table, const std::vector<std::string>& columns,
                      const Row& values, std::string& error, std::int64_t* rowId = nullptr);
  // SELECT columns FROM table WHERE keyColumn = key; empty when no row has that key, and then
  // `error` is empty unless the store failed.
  std::optional<Row> Fetch(const std::string& table, const std::vector<std::string>& columns,
                           const std::string& keyColumn, const std::string& key,
                           std::string& error);
  // UPDATE table SET columns = values WHERE keyColumn = key; the number of rows changed, or -1.
  int Update(const std::string& table, const std::vector<std::string>& columns, const Row& values,
             const std::string& keyColumn, const std::string& key, std::string& error);
  // Rows of table (columns as given), at most `limit`, ordered by `orderBy` (a column name).
  std::vector<Row> List(const std::string& table, const std::vector<std::string>& columns,
                        const std::string& orderBy, int limit, std::string& error);

 protected:
  Database() = default;
  // The insert itself, run by each store; `sql` has ? placeholders.
  virtual InsertResult RunInsert(const std::string& sql, const Row& binds, std::int64_t* rowId,
                                 std::string& error) = 0;
};

std::unique_ptr<Database> OpenSqlite(const std::string& path, std::string& error);
// `connections`: how many connections the instance keeps to the database at most.
std::unique_ptr<Database> OpenPostgres(const std::string& uri, int connections, std::string& error);

// The store the options name: --db, else DIR/kestrel.db for --data DIR, else in memory.
std::string DatabasePath(const std::string& dbFile, const std::string& dataDir);
// Whether the target names a PostgreSQL database.
bool IsPostgresTarget(const std::string& target);
// The target as the server prints it: a PostgreSQL address without its password.
std::string PrintableTarget(const std::string& target);

}  // namespace kestrel::server
