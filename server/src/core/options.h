// Command-line options of kestrel-server.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "net/connection_limits.h"

namespace kestrel::server {

struct ServerOptions {
  std::string host = "127.0.0.1";
  int httpPort = 18080;
  int httpsPort = -1;  // -1: no HTTPS listener
  std::string certFile;
  std::string keyFile;
  std::string dataDir;     // empty: nothing survives the process (in-memory database)
  std::string dbFile;      // empty: kestrel.db in dataDir; "postgresql://..." a shared database
  int dbConnections = 16;  // to a PostgreSQL database, at most, per instance
  std::string addAdmin;    // set: make this overview account (password on stdin), then exit
  std::int64_t rate = 0;   // speed-test payload bytes per second, 0 = unlimited
  std::int64_t payloadBytes = 256LL * 1024 * 1024;
  bool testControl = false;
  std::string readyFile;
  std::string currentVersion = "2.1.20.928";
  std::string downloadUrl;  // empty: this server's own download page
  int stallSeconds = 60;    // how long a stalled answer holds its connection
  std::size_t maxBodyBytes = 4u * 1024 * 1024;
  int threads = 32;
  ConnectionLimits limits;  // maxBodyBytes is taken from maxBodyBytes above
};

struct OptionsResult {
  bool ok = false;
  bool help = false;
  std::string error;
  ServerOptions options;
};

// Reads the arguments after the program name.
OptionsResult ParseOptions(const std::vector<std::string>& args);

const char* UsageText();

}  // namespace kestrel::server
