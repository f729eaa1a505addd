// The overview's accounts, sessions and failed logins, all in the store, so that every instance
// on one database knows the same ones.
#pragma once

#include <cstdint>
#include <string>

#include "store/database.h"
#include "store/password.h"

namespace kestrel::server {

struct LoginLimits {
  int maxFailures = 5;          // wrong passwords for one account within the window
  int maxAddressFailures = 20;  // for one client address, whatever the account
  int windowSeconds = 15 * 60;
  int sessionSeconds = 8 * 60 * 60;
};

// Account names are 1 to 64 letters, digits, '.', '_' or '-'; passwords 8 to 1024 bytes.
bool IsAccountName(const std::string& name);
// Makes the account, or gives an existing one the new password, hashed with `iterations`
// rounds (fewer only in tests).
bool SetAdminAccount(Database& db, const std::string& name, const std::string& password,
                     std::string& error, int iterations = kPasswordIterations);

enum class LoginResult { kOk, kWrong, kLocked, kFailed };
// kLocked while the account or the address has too many recent failures: then the password is
// not even tried. A wrong password is counted against both.
LoginResult CheckLogin(Database& db, const std::string& name, const std::string& password,
                       const std::string& address, std::int64_t now, const LoginLimits& limits);

// A new session's token (the cookie's value); empty on failure.
std::string StartSession(Database& db, const std::string& name, std::int64_t now,
                         const LoginLimits& limits);
enum class SessionResult { kValid, kNone, kFailed };
// Whether the token names a live session; `name` receives its account.
SessionResult FindSession(Database& db, const std::string& token, std::int64_t now,
                          std::string& name);
void EndSession(Database& db, const std::string& token);

}  // namespace kestrel::server
