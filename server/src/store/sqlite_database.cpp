// The embedded store: one SQLite connection shared by every request thread (SQLite runs one
// writer at a time anyway), with its statements prepared once.
#include <sqlite3.h>

#include <map>
#include <mutex>

#include "store/database.h"

namespace kestrel::server {
namespace {

constexpr int kBusyTimeoutMs = 5000;

class SqliteDatabase final : public Database {
 public:
  explicit SqliteDatabase(sqlite3* db) : db_(db) {}
  ~SqliteDatabase() override {
    for (auto& entry : statements_) {
      sqlite3_finalize(entry.second);
    }
    sqlite3_close(db_);
  }

  Kind Dialect() const override { return Kind::kSqlite; }

  bool Exec(const std::string& sql, std::string& error) override {
    std::lock_guard<std::mutex> lock(mutex_);
    return ExecLocked(sql, error);
  }

  int Run(const std::string& sql, const Row& binds, std::vector<Row>* rows,
          std::string& error) override {
    std::lock_guard<std::mutex> lock(mutex_);
    error.clear();
    sqlite3_stmt* stmt = Prepared(sql, error);
    if (!stmt || !Step(stmt, binds, rows, error)) {
      return -1;
    }
    return sqlite3_changes(db_);
  }

  bool Migrate(const std::vector<Migration>& steps, std::string& error) override {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!ExecLocked("CREATE TABLE IF NOT EXISTS schema_version (version INTEGER PRIMARY KEY, "
                    "applied TEXT NOT NULL DEFAULT CURRENT_TIMESTAMP)",
                    error)) {
      return false;
    }
    for (const Migration& step : steps) {
      // BEGIN IMMEDIATE takes the write lock first, so a second process waits and then sees
      // the step applied.
      if (!ExecLocked("BEGIN IMMEDIATE", error)) {
        return false;
      }
      std::vector<Row> rows;
      sqlite3_stmt* stmt = Prepared("SELECT COUNT(*) FROM schema_version WHERE version = ?", error);
      const bool ok = stmt && Step(stmt, {std::to_string(step.version)}, &rows, error);
      const bool applied = ok && !rows.empty() && rows[0][0] != "0";
      if (!ok || (!applied && (!ExecLocked(step.sqlite, error) ||
                               !ExecLocked("INSERT INTO schema_version (version) VALUES (" +
                                               std::to_string(step.version) + ")",
                                           error)))) {
        std::string ignored;
        ExecLocked("ROLLBACK", ignored);
        error = "schema step " + std::to_string(step.version) + ": " + error;
        return false;
      }
      if (!ExecLocked("COMMIT", error)) {
        return false;
      }
    }
    return true;
  }

 protected:
  InsertResult RunInsert(const std::string& sql, const Row& binds, std::int64_t* rowId,
                         std::string& error) override {
    std::lock_guard<std::mutex> lock(mutex_);
    error.clear();
    sqlite3_stmt* stmt = Prepared(sql, error);
    if (stmt && Step(stmt, binds, nullptr, error)) {
      if (rowId) {
        *rowId = sqlite3_last_insert_rowid(db_);
      }
      return InsertResult::kDone;
    }
    return stmt && lastConstraint_ ? InsertResult::kTaken : InsertResult::kFailed;
  }

 private:
  bool ExecLocked(const std::string& sql, std::string& error) {
    char* message = nullptr;
    if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
      error = message ? message : "sqlite error";
      sqlite3_free(message);
      return false;
    }
    return true;
  }

  // A prepared statement kept for the life of the connection, reset before it is returned.
  sqlite3_stmt* Prepared(const std::string& sql, std::string& error) {
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

  // Binds the texts, runs the statement to its end and collects the rows; false on an error.
  bool Step(sqlite3_stmt* stmt, const Row& binds, std::vector<Row>* rows, std::string& error) {
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

  std::mutex mutex_;
  sqlite3* db_;
  std::map<std::string, sqlite3_stmt*> statements_;
  bool lastConstraint_ = false;  // of the last Step, read under the same lock
};

}  // namespace

std::unique_ptr<Database> OpenSqlite(const std::string& path, std::string& error) {
  sqlite3* db = nullptr;
  const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX;
  if (sqlite3_open_v2(path.c_str(), &db, flags, nullptr) != SQLITE_OK) {
    error = "cannot open the database " + path + ": " + (db ? sqlite3_errmsg(db) : "no memory");
    sqlite3_close(db);
    return nullptr;
  }
  auto out = std::make_unique<SqliteDatabase>(db);
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

}  // namespace kestrel::server
