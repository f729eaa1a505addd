#include "store/admin_tables.h"

#include <algorithm>
#include <cctype>

#include "store/password.h"
#include "store/report_table.h"

namespace kestrel::server {
namespace {

constexpr std::size_t kMinPassword = 8;
constexpr std::size_t kMaxPassword = 1024;
constexpr int kSaltBytes = 16;
constexpr int kTokenBytes = 32;
// Hashed for an unknown account, so that its answer takes as long as a known one's.
constexpr const char* kDecoySalt = "00000000000000000000000000000000";

// -1 when the store failed.
std::int64_t RecentFailures(Database& db, const std::string& who, std::int64_t since) {
  std::vector<Row> rows;
  std::string error;
  if (db.Run("SELECT COUNT(*) FROM admin_failures WHERE who = ? AND at > ?",
             {who, std::to_string(since)}, &rows, error) < 0 ||
      rows.empty()) {
    return -1;
  }
  return std::stoll(rows[0][0]);
}

bool CountFailure(Database& db, const std::string& who, std::int64_t now,
                  const LoginLimits& limits) {
  std::string error;
  db.Run("DELETE FROM admin_failures WHERE who = ? AND at <= ?",
         {who, std::to_string(now - limits.windowSeconds)}, nullptr, error);
  return db.Insert("admin_failures", {"who", "at"}, {who, std::to_string(now)}, error) ==
         Database::InsertResult::kDone;
}

}  // namespace

bool IsAccountName(const std::string& name) {
  return !name.empty() && name.size() <= 64 && std::all_of(name.begin(), name.end(), [](char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == '_' || c == '-';
  });
}

bool SetAdminAccount(Database& db, const std::string& name, const std::string& password,
                     std::string& error, int iterations) {
  if (!IsAccountName(name)) {
    error = "an account name is 1 to 64 letters, digits, '.', '_' or '-'";
    return false;
  }
  if (password.size() < kMinPassword || password.size() > kMaxPassword) {
    error = "a password is 8 to 1024 bytes";
    return false;
  }
  const std::string salt = RandomHex(kSaltBytes);
  const std::string hash = PasswordHash(password, salt, iterations);
  if (salt.empty() || hash.empty()) {
    error = "no random bytes or no hash";
    return false;
  }
  const Row values = {salt, hash, std::to_string(iterations)};
  switch (db.Insert("admin_accounts", {"name", "salt", "hash", "iterations", "created"},
                    {name, salt, hash, values[2], ReceivedNow()}, error)) {
    case Database::InsertResult::kDone:
      return true;
    case Database::InsertResult::kTaken:
      return db.Update("admin_accounts", {"salt", "hash", "iterations"}, values, "name", name,
                       error) == 1;
    case Database::InsertResult::kFailed:
      return false;
  }
  return false;
}

LoginResult CheckLogin(Database& db, const std::string& name, const std::string& password,
                       const std::string& address, std::int64_t now, const LoginLimits& limits) {
  const std::string byName = "name:" + name;
  const std::string byAddress = "addr:" + address;
  const std::int64_t since = now - limits.windowSeconds;
  const std::int64_t nameFailures = RecentFailures(db, byName, since);
  const std::int64_t addressFailures = RecentFailures(db, byAddress, since);
  if (nameFailures < 0 || addressFailures < 0) {
    return LoginResult::kFailed;
  }
  if (nameFailures >= limits.maxFailures || addressFailures >= limits.maxAddressFailures) {
    return LoginResult::kLocked;
  }
  std::string error;
  const auto row = IsAccountName(name) ? db.Fetch("admin_accounts", {"salt", "hash", "iterations"},
                                                  "name", name, error)
                                       : std::nullopt;
  if (!row && !error.empty()) {
    return LoginResult::kFailed;
  }
  const bool known = row.has_value();
  const int iterations = known ? std::max(1, std::stoi((*row)[2])) : kPasswordIterations;
  const std::string hash =
      PasswordHash(password.substr(0, kMaxPassword), known ? (*row)[0] : kDecoySalt, iterations);
  if (known && password.size() <= kMaxPassword && SameSecret(hash, (*row)[1])) {
    return LoginResult::kOk;
  }
  if (!CountFailure(db, byName, now, limits) || !CountFailure(db, byAddress, now, limits)) {
    return LoginResult::kFailed;
  }
  return LoginResult::kWrong;
}

std::string StartSession(Database& db, const std::string& name, std::int64_t now,
                         const LoginLimits& limits) {
  const std::string token = RandomHex(kTokenBytes);
  if (token.empty()) {
    return {};
  }
  std::string error;
  db.Run("DELETE FROM admin_sessions WHERE expires <= ?", {std::to_string(now)}, nullptr, error);
  if (db.Insert("admin_sessions", {"token_hash", "name", "expires"},
                {Sha256Hex(token), name, std::to_string(now + limits.sessionSeconds)},
                error) != Database::InsertResult::kDone) {
    return {};
  }
  return token;
}

SessionResult FindSession(Database& db, const std::string& token, std::int64_t now,
                          std::string& name) {
  if (token.size() != kTokenBytes * 2 ||
      token.find_first_not_of("0123456789abcdef") != std::string::npos) {
    return SessionResult::kNone;
  }
  std::vector<Row> rows;
  std::string error;
  if (db.Run("SELECT name FROM admin_sessions WHERE token_hash = ? AND expires > ?",
             {Sha256Hex(token), std::to_string(now)}, &rows, error) < 0) {
    return SessionResult::kFailed;
  }
  if (rows.empty()) {
    return SessionResult::kNone;
  }
  name = rows[0][0];
  return SessionResult::kValid;
}

void EndSession(Database& db, const std::string& token) {
  std::string error;
  db.Run("DELETE FROM admin_sessions WHERE token_hash = ?", {Sha256Hex(token)}, nullptr, error);
}

}  // namespace kestrel::server
