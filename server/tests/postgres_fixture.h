// A PostgreSQL server of the test's own: initdb and pg_ctl in a scratch folder, listening only
// on a socket there, run as an unprivileged user when the tests run as root (initdb refuses
// root). Started once per test process, stopped when it ends.
#pragma once

#include <string>

namespace kestrel::server::test {

class PostgresServer {
 public:
  // The process's server, started on first use; null with a message when it cannot start.
  static PostgresServer* Shared(std::string& error);
  ~PostgresServer();

  // The address of a new, empty database on it.
  std::string NewDatabase(std::string& error);
  // Stops it at once (connections are cut) and starts it again.
  bool Stop();
  bool Start();

 private:
  PostgresServer() = default;
  bool Init(std::string& error);
  int Run(const std::string& command) const;

  std::string bin_;
  std::string dir_;
  std::string user_;  // "" when the tests do not run as root
  int databases_ = 0;
};

}  // namespace kestrel::server::test
