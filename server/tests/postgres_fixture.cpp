#include "postgres_fixture.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>

#include "store/database.h"

namespace kestrel::server::test {
namespace {

constexpr const char* kUser = "nobody";

// The newest installed server's programs, or $KESTREL_PG_BIN.
std::string FindBin() {
  if (const char* given = std::getenv("KESTREL_PG_BIN")) {
    return given;
  }
  std::string best;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator("/usr/lib/postgresql", ec)) {
    const std::string bin = entry.path().string() + "/bin";
    if (std::filesystem::exists(bin + "/initdb") && bin > best) {
      best = bin;
    }
  }
  return best;
}

std::string Address(const std::string& dir, const std::string& db) {
  return "postgresql://kestrel@/" + db + "?host=" + dir;
}

}  // namespace

PostgresServer* PostgresServer::Shared(std::string& error) {
  static std::unique_ptr<PostgresServer> server;
  static std::string failure;
  if (!server && failure.empty()) {
    std::unique_ptr<PostgresServer> s(new PostgresServer());
    if (s->Init(failure)) {
      server = std::move(s);
    }
  }
  error = failure;
  return server.get();
}

int PostgresServer::Run(const std::string& command) const {
  const std::string line = user_.empty() ? command : "runuser -u " + user_ + " -- " + command;
  return std::system((line + " >>" + dir_ + "/setup.log 2>&1").c_str());
}

bool PostgresServer::Init(std::string& error) {
  bin_ = FindBin();
  if (bin_.empty()) {
    error = "no PostgreSQL server installed (postgresql-15)";
    return false;
  }
  std::string pattern = std::filesystem::temp_directory_path().string() + "/kestrel-pg.XXXXXX";
  if (!mkdtemp(pattern.data())) {
    error = "no scratch folder";
    return false;
  }
  dir_ = pattern;
  if (geteuid() == 0) {
    const passwd* pw = getpwnam(kUser);
    if (!pw || chown(dir_.c_str(), pw->pw_uid, pw->pw_gid) != 0) {
      error = std::string("cannot hand ") + dir_ + " to " + kUser;
      return false;
    }
    user_ = kUser;
  }
  if (Run(bin_ + "/initdb -D " + dir_ +
          "/data -U kestrel -A trust -E UTF8 --no-locale --no-sync") != 0 ||
      !Start()) {
    error = "cannot start PostgreSQL in " + dir_ + " (see setup.log there)";
    return false;
  }
  return true;
}

bool PostgresServer::Start() {
  // Only a socket in the folder: no port to collide with anyone's. fsync off: a test database.
  return Run(bin_ + "/pg_ctl -D " + dir_ + "/data -l " + dir_ + "/server.log -w -t 30 -o \"-k " +
             dir_ +
             " -c listen_addresses= -c fsync=off -c synchronous_commit=off "
             "-c full_page_writes=off -c max_connections=200\" start") == 0;
}

bool PostgresServer::Stop() {
  return Run(bin_ + "/pg_ctl -D " + dir_ + "/data -m fast -w -t 30 stop") == 0;
}

PostgresServer::~PostgresServer() {
  Run(bin_ + "/pg_ctl -D " + dir_ + "/data -m immediate -w -t 30 stop");
  std::error_code ec;
  std::filesystem::remove_all(dir_, ec);
}

std::string PostgresServer::NewDatabase(std::string& error) {
  auto admin = Database::Open(Address(dir_, "postgres"), error);
  const std::string name = "t" + std::to_string(getpid()) + "_" + std::to_string(++databases_);
  if (!admin || !admin->Exec("CREATE DATABASE " + name, error)) {
    return {};
  }
  return Address(dir_, name);
}

}  // namespace kestrel::server::test
