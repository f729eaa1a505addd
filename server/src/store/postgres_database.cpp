// The shared store: a PostgreSQL database reached through libpq, with a small pool of
// connections. Each connection prepares a statement once and asks the server the types of its
// parameters: byte columns (BYTEA) take their values hex-encoded and give them back decoded, so
// texts of any bytes (GBK included) are kept exactly, and every other value goes as text.
#include <libpq-fe.h>

#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>

#include "store/database.h"

namespace kestrel::server {
namespace {

constexpr Oid kByteaOid = 17;
// Any number, the same in every instance: the lock that lets one instance apply the schema.
constexpr const char* kMigrationLock = "727274101";
constexpr auto kWaitForConnection = std::chrono::seconds(10);

struct Statement {
  std::string name;
  std::vector<Oid> types;
};

struct Connection {
  PGconn* pg = nullptr;
  std::map<std::string, Statement> statements;
  ~Connection() { PQfinish(pg); }
};

// ? placeholders become $1, $2...; our statements hold no ? inside quoted text.
std::string Numbered(const std::string& sql) {
  std::string out;
  int n = 0;
  for (char c : sql) {
    if (c == '?') {
      out += "$" + std::to_string(++n);
    } else {
      out += c;
    }
  }
  return out;
}

std::string Hex(const std::string& bytes) {
  static const char digits[] = "0123456789abcdef";
  std::string out = "\\x";
  out.reserve(2 + bytes.size() * 2);
  for (unsigned char b : bytes) {
    out += digits[b >> 4];
    out += digits[b & 15];
  }
  return out;
}

std::string Message(PGconn* pg, const PGresult* res) {
  const char* text = res ? PQresultErrorMessage(res) : "";
  if (!text || !*text) {
    text = PQerrorMessage(pg);
  }
  std::string out = text ? text : "postgresql error";
  while (!out.empty() && (out.back() == '\n' || out.back() == ' ')) {
    out.pop_back();
  }
  return out;
}

class PostgresDatabase final : public Database {
 public:
  PostgresDatabase(std::string uri, int connections)
      : uri_(std::move(uri)), capacity_(connections) {}

  Kind Dialect() const override { return Kind::kPostgres; }

  bool Exec(const std::string& sql, std::string& error) override {
    auto conn = Acquire(error);
    if (!conn) {
      return false;
    }
    const bool ok = ExecOn(*conn, sql, error);
    Release(std::move(conn));
    return ok;
  }

  int Run(const std::string& sql, const Row& binds, std::vector<Row>* rows,
          std::string& error) override {
    bool constraint = false;
    return Execute(sql, binds, rows, error, constraint);
  }

  bool Migrate(const std::vector<Migration>& steps, std::string& error) override {
    auto conn = Acquire(error);
    if (!conn) {
      return false;
    }
    // The lock is held by this session until it is unlocked (or the session ends).
    bool ok =
        ExecOn(*conn, std::string("SELECT pg_advisory_lock(") + kMigrationLock + ")", error) &&
        ExecOn(*conn,
               "CREATE TABLE IF NOT EXISTS schema_version (version INTEGER PRIMARY KEY, "
               "applied TIMESTAMPTZ NOT NULL DEFAULT now())",
               error);
    for (std::size_t i = 0; ok && i < steps.size(); ++i) {
      const std::string version = std::to_string(steps[i].version);
      PGresult* res =
          PQexec(conn->pg, ("SELECT 1 FROM schema_version WHERE version = " + version).c_str());
      const bool read = PQresultStatus(res) == PGRES_TUPLES_OK;
      const bool applied = read && PQntuples(res) > 0;
      if (!read) {
        error = Message(conn->pg, res);
      }
      PQclear(res);
      ok = read;
      if (ok && !applied) {
        ok = ExecOn(*conn,
                    std::string("BEGIN;") + steps[i].postgres +
                        ";INSERT INTO schema_version (version) VALUES (" + version + ");COMMIT;",
                    error);
        if (!ok) {
          std::string ignored;
          ExecOn(*conn, "ROLLBACK", ignored);
          error = "schema step " + version + ": " + error;
        }
      }
    }
    std::string ignored;
    ExecOn(*conn, std::string("SELECT pg_advisory_unlock(") + kMigrationLock + ")", ignored);
    Release(std::move(conn));
    return ok;
  }

 protected:
  InsertResult RunInsert(const std::string& sql, const Row& binds, std::int64_t* rowId,
                         std::string& error) override {
    bool constraint = false;
    std::vector<Row> rows;
    const int changed = Execute(rowId ? sql + " RETURNING seq" : sql, binds,
                                rowId ? &rows : nullptr, error, constraint);
    if (changed < 0) {
      return constraint ? InsertResult::kTaken : InsertResult::kFailed;
    }
    if (rowId && !rows.empty()) {
      *rowId = std::stoll(rows[0][0]);
    }
    return InsertResult::kDone;
  }

 private:
  // A pooled connection, or a new one; null with a message when the database cannot be reached
  // or every connection stays busy.
  std::unique_ptr<Connection> Acquire(std::string& error) {
    {
      std::unique_lock<std::mutex> lock(mutex_);
      if (!freed_.wait_for(lock, kWaitForConnection,
                           [this] { return !idle_.empty() || open_ < capacity_; })) {
        error = "no free database connection";
        return nullptr;
      }
      if (!idle_.empty()) {
        auto conn = std::move(idle_.back());
        idle_.pop_back();
        return conn;
      }
      ++open_;
    }
    const char* keys[] = {"dbname", "connect_timeout", "application_name", nullptr};
    const char* values[] = {uri_.c_str(), "3", "kestrel-server", nullptr};
    auto conn = std::make_unique<Connection>();
    conn->pg = PQconnectdbParams(keys, values, 1);
    if (PQstatus(conn->pg) != CONNECTION_OK) {
      error = "cannot reach the database: " + Message(conn->pg, nullptr);
      conn.reset();
      Forget();
      return nullptr;
    }
    PQsetNoticeProcessor(
        conn->pg, [](void*, const char*) {}, nullptr);
    return conn;
  }

  // A broken connection is closed, and so are the idle ones: after the database restarted
  // they are all stale, and each would fail one request.
  void Release(std::unique_ptr<Connection> conn) {
    std::vector<std::unique_ptr<Connection>> stale;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (PQstatus(conn->pg) == CONNECTION_OK) {
        idle_.push_back(std::move(conn));
      } else {
        stale.swap(idle_);
        open_ -= static_cast<int>(stale.size()) + 1;
      }
    }
    freed_.notify_all();
  }

  void Forget() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      --open_;
    }
    freed_.notify_one();
  }

  bool ExecOn(Connection& conn, const std::string& sql, std::string& error) {
    PGresult* res = PQexec(conn.pg, sql.c_str());
    const ExecStatusType status = PQresultStatus(res);
    const bool ok = status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK;
    if (!ok) {
      error = Message(conn.pg, res);
    }
    PQclear(res);
    return ok;
  }

  const Statement* Prepare(Connection& conn, const std::string& sql, std::string& error) {
    auto found = conn.statements.find(sql);
    if (found != conn.statements.end()) {
      return &found->second;
    }
    Statement st{"k" + std::to_string(conn.statements.size()), {}};
    PGresult* res = PQprepare(conn.pg, st.name.c_str(), Numbered(sql).c_str(), 0, nullptr);
    bool ok = PQresultStatus(res) == PGRES_COMMAND_OK;
    if (!ok) {
      error = Message(conn.pg, res);
    }
    PQclear(res);
    if (!ok) {
      return nullptr;
    }
    res = PQdescribePrepared(conn.pg, st.name.c_str());
    ok = PQresultStatus(res) == PGRES_COMMAND_OK;
    for (int i = 0; ok && i < PQnparams(res); ++i) {
      st.types.push_back(PQparamtype(res, i));
    }
    if (!ok) {
      error = Message(conn.pg, res);
    }
    PQclear(res);
    return ok ? &conn.statements.emplace(sql, std::move(st)).first->second : nullptr;
  }

  int Execute(const std::string& sql, const Row& binds, std::vector<Row>* rows, std::string& error,
              bool& constraint) {
    error.clear();
    constraint = false;
    auto conn = Acquire(error);
    if (!conn) {
      return -1;
    }
    const int changed = ExecuteOn(*conn, sql, binds, rows, error, constraint);
    Release(std::move(conn));
    return changed;
  }

  int ExecuteOn(Connection& conn, const std::string& sql, const Row& binds, std::vector<Row>* rows,
                std::string& error, bool& constraint) {
    const Statement* st = Prepare(conn, sql, error);
    if (!st) {
      return -1;
    }
    if (st->types.size() != binds.size()) {
      error = "statement wants " + std::to_string(st->types.size()) + " values";
      return -1;
    }
    std::vector<std::string> texts(binds.size());
    std::vector<const char*> values(binds.size());
    for (std::size_t i = 0; i < binds.size(); ++i) {
      if (st->types[i] == kByteaOid) {
        texts[i] = Hex(binds[i]);
      } else if (binds[i].find('\0') != std::string::npos) {
        error = "a text value holds a NUL byte";
        return -1;
      } else {
        texts[i] = binds[i];
      }
      values[i] = texts[i].c_str();
    }
    PGresult* res = PQexecPrepared(conn.pg, st->name.c_str(), static_cast<int>(values.size()),
                                   values.data(), nullptr, nullptr, 0);
    const ExecStatusType status = PQresultStatus(res);
    int changed = -1;
    if (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK) {
      const char* count = PQcmdTuples(res);
      changed = count && *count ? std::stoi(count) : 0;
      for (int r = 0; rows && r < PQntuples(res); ++r) {
        Row row;
        for (int c = 0; c < PQnfields(res); ++c) {
          row.push_back(Value(res, r, c));
        }
        rows->push_back(std::move(row));
      }
    } else {
      error = Message(conn.pg, res);
      const char* state = PQresultErrorField(res, PG_DIAG_SQLSTATE);
      constraint = state && std::string(state) == "23505";
    }
    PQclear(res);
    return changed;
  }

  static std::string Value(const PGresult* res, int r, int c) {
    if (PQgetisnull(res, r, c)) {
      return {};
    }
    const char* text = PQgetvalue(res, r, c);
    if (PQftype(res, c) != kByteaOid) {
      return std::string(text, static_cast<std::size_t>(PQgetlength(res, r, c)));
    }
    std::size_t length = 0;
    unsigned char* bytes = PQunescapeBytea(reinterpret_cast<const unsigned char*>(text), &length);
    std::string out(reinterpret_cast<const char*>(bytes), length);
    PQfreemem(bytes);
    return out;
  }

  const std::string uri_;
  const int capacity_;
  std::mutex mutex_;
  std::condition_variable freed_;
  std::vector<std::unique_ptr<Connection>> idle_;
  int open_ = 0;  // connections handed out or idle
};

}  // namespace

std::unique_ptr<Database> OpenPostgres(const std::string& uri, int connections,
                                       std::string& error) {
  auto db = std::make_unique<PostgresDatabase>(uri, connections);
  // One connection at once: a wrong address or password is told at start, not at the first
  // report.
  if (!db->Exec("SELECT 1", error)) {
    error = "cannot open the database " + PrintableTarget(uri) + ": " + error;
    return nullptr;
  }
  return db;
}

}  // namespace kestrel::server
