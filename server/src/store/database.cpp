#include "store/database.h"

#include <sqlite3.h>

namespace kestrel::server {
namespace {

constexpr int kBusyTimeoutMs = 5000;

std::string Joined(const std::vector<std::string>& names, const char* each) {
  std::string out;
  for (std::size_t i = 0; i < names.size(); ++i) {
    out += i ? ", " : "";
    out += names[i];
    out += each;
  }
  return out;
}

std::string Placeholders(std::size_t count) {
  std::string out;
  for (std::size_t i = 0; i < count; ++i) {
    out += i ? ", ?" : "?";
  }
  return out;
}

}  // namespace

std::string DatabasePath(const std::string& dbFile, const std::string& dataDir) {
  if (!dbFile.empty()) {
    return dbFile;
  }
  if (!dataDir.empty()) {
    return dataDir + "/kestrel.db";
  }
  return ":memory:";
}

std::unique_ptr<Database> Database::Open(const std::string& path, std::string& error) {
  sqlite3* db = nullptr;
  const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX;
  if (sqlite3_open_v2(path.c_str(), &db, flags, nullptr) != SQLITE_OK) {
    error = "cannot open the database " + path + ": " + (db ? sqlite3_errmsg(db) : "no memory");
    sqlite3_close(db);
    return nullptr;
  }
  std::unique_ptr<Database> out(new Database(db));
  sqlite3_busy_timeout(db, kBusyTimeoutMs);
  // WAL lets a second process (a script reading reports) read while the server writes.
  const char* pragmas = path == ":memory:" ? "PRAGMA foreign_keys = ON;"
                                           : "PRAGMA journal_mode = WAL; PRAGMA synchronous = "
                                             "NORMAL; PRAGMA foreign_keys = ON;";
  if (!out->Exec(pragmas, error)) {
    error = "cannot set up the database " + path + ": " + error;
    return nullptr;
  }
  return out;
}

Database::Database(sqlite3* db) : db_(db) {}

Database::~Database() {
  for (auto& entry : statements_) {
    sqlite3_finalize(entry.second);
  }
  sqlite3_close(db_);
}

bool Database::Exec(const std::string& sql, std::string& error) {
  std::lock_guard<std::mutex> lock(mutex_);
  char* message = nullptr;
  if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
    error = message ? message : "sqlite error";
    sqlite3_free(message);
    return false;
  }
  return true;
}

sqlite3_stmt* Database::Prepared(const std::string& sql, std::string& error) {
  auto found = statements_.find(sql);
  if (found != statements_.end()) {
    sqlite3_reset(found->second);
    sqlite3_clear_bindings(found->second);
    return found->second;
  }
  sqlite3_stmt* stmt = nullptr;
  if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK) {
    error = sqlite3_errmsg(db_);
    return nullptr;
  }
  statements_.emplace(sql, stmt);
  return stmt;
}

bool Database::Step(sqlite3_stmt* stmt, const Row& binds, std::vector<Row>* rows,
                    std::string& error) {
  lastConstraint_ = false;
  for (std::size_t i = 0; i < binds.size(); ++i) {
    sqlite3_bind_text(stmt, static_cast<int>(i + 1), binds[i].data(),
                      static_cast<int>(binds[i].size()), SQLITE_TRANSIENT);
  }
  for (;;) {
    const int rc = sqlite3_step(stmt);
    if (rc == SQLITE_DONE) {
      sqlite3_reset(stmt);
      return true;
    }
    if (rc != SQLITE_ROW) {
      error = sqlite3_errmsg(db_);
      lastConstraint_ = (sqlite3_extended_errcode(db_) & 0xFF) == SQLITE_CONSTRAINT;
      sqlite3_reset(stmt);
      return false;
    }
    if (rows) {
      Row row;
      const int count = sqlite3_column_count(stmt);
      for (int c = 0; c < count; ++c) {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, c));
        row.emplace_back(
            text ? std::string(text, static_cast<std::size_t>(sqlite3_column_bytes(stmt, c)))
                 : std::string());
      }
      rows->push_back(std::move(row));
    }
  }
}

Database::InsertResult Database::Insert(const std::string& table,
                                        const std::vector<std::string>& columns, const Row& values,
                                        std::string& error, std::int64_t* rowId) {
  std::lock_guard<std::mutex> lock(mutex_);
  sqlite3_stmt* stmt = Prepared("INSERT INTO " + table + " (" + Joined(columns, "") + ") VALUES (" +
                                    Placeholders(columns.size()) + ")",
                                error);
  if (stmt && Step(stmt, values, nullptr, error)) {
    if (rowId) {
      *rowId = sqlite3_last_insert_rowid(db_);
    }
    return InsertResult::kDone;
  }
  return stmt && lastConstraint_ ? InsertResult::kTaken : InsertResult::kFailed;
}

std::optional<Row> Database::Fetch(const std::string& table,
                                   const std::vector<std::string>& columns,
                                   const std::string& keyColumn, const std::string& key,
                                   std::string& error) {
  std::lock_guard<std::mutex> lock(mutex_);
  sqlite3_stmt* stmt = Prepared(
      "SELECT " + Joined(columns, "") + " FROM " + table + " WHERE " + keyColumn + " = ?", error);
  std::vector<Row> rows;
  if (!stmt || !Step(stmt, {key}, &rows, error) || rows.empty()) {
    return std::nullopt;
  }
  return rows.front();
}

int Database::Update(const std::string& table, const std::vector<std::string>& columns,
                     const Row& values, const std::string& keyColumn, const std::string& key,
                     std::string& error) {
  std::lock_guard<std::mutex> lock(mutex_);
  sqlite3_stmt* stmt = Prepared(
      "UPDATE " + table + " SET " + Joined(columns, " = ?") + " WHERE " + keyColumn + " = ?",
      error);
  Row binds = values;
  binds.push_back(key);
  if (!stmt || !Step(stmt, binds, nullptr, error)) {
    return -1;
  }
  return sqlite3_changes(db_);
}

std::vector<Row> Database::List(const std::string& table, const std::vector<std::string>& columns,
                                const std::string& orderBy, int limit, std::string& error) {
  std::lock_guard<std::mutex> lock(mutex_);
  sqlite3_stmt* stmt = Prepared("SELECT " + Joined(columns, "") + " FROM " + table + " ORDER BY " +
                                    orderBy + " LIMIT " + std::to_string(limit),
                                error);
  std::vector<Row> rows;
  if (stmt) {
    Step(stmt, {}, &rows, error);
  }
  return rows;
}

}  // namespace kestrel::server
