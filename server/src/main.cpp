// kestrel-server: the local stand-in for every web endpoint the product talks to.
#include <signal.h>
#include <sys/resource.h>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "core/options.h"
#include "kestrel_server.h"
#include "startup_text.h"
#include "store/admin_tables.h"
#include "store/schema.h"

namespace {

bool WriteReadyFile(const std::string& path, int httpPort, int httpsPort) {
  // Written whole under another name and renamed, so a waiting script never reads half of it.
  const std::string temp = path + ".tmp";
  {
    std::ofstream out(temp, std::ios::trunc);
    out << "http " << httpPort << "\nhttps " << httpsPort << "\n";
    if (!out) {
      return false;
    }
  }
  return std::rename(temp.c_str(), path.c_str()) == 0;
}

// Every open connection holds a descriptor: the soft limit (often 1024) would cap the server
// far below its connection limit, so it is raised as far as the hard limit allows.
void RaiseDescriptorLimit(std::size_t wanted) {
  rlimit lim{};
  if (getrlimit(RLIMIT_NOFILE, &lim) != 0) {
    return;
  }
  lim.rlim_cur = lim.rlim_max;
  setrlimit(RLIMIT_NOFILE, &lim);
  getrlimit(RLIMIT_NOFILE, &lim);
  if (lim.rlim_cur != RLIM_INFINITY && lim.rlim_cur < wanted) {
    std::fprintf(stderr,
                 "kestrel-server: warning: only %llu open files allowed, fewer than the %zu "
                 "connections allowed (raise ulimit -n)\n",
                 static_cast<unsigned long long>(lim.rlim_cur), wanted);
  }
}

// --add-admin NAME: the password is the first line of standard input, so that it appears in no
// process list or shell history.
int AddAdmin(const kestrel::server::ServerOptions& options) {
  using namespace kestrel::server;
  std::string error;
  auto db = OpenStore(options, error);
  if (!db || !PrepareStore(*db, error)) {
    std::fprintf(stderr, "kestrel-server: %s\n", error.c_str());
    return 1;
  }
  std::string password;
  std::getline(std::cin, password);
  if (!password.empty() && password.back() == '\r') {
    password.pop_back();
  }
  if (!SetAdminAccount(*db, options.addAdmin, password, error)) {
    std::fprintf(stderr, "kestrel-server: %s\n", error.c_str());
    return 1;
  }
  std::fprintf(stderr, "kestrel-server: overview account %s saved in %s\n",
               options.addAdmin.c_str(),
               PrintableTarget(DatabasePath(options.dbFile, options.dataDir)).c_str());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace kestrel::server;
  const OptionsResult parsed = ParseOptions(std::vector<std::string>(argv + 1, argv + argc));
  if (parsed.help) {
    std::fputs(UsageText(), stdout);
    return 0;
  }
  if (!parsed.ok) {
    std::fprintf(stderr, "kestrel-server: %s\n%s", parsed.error.c_str(), UsageText());
    return 2;
  }
  if (!parsed.options.addAdmin.empty()) {
    return AddAdmin(parsed.options);
  }

  // The listener threads inherit this mask, so the signals reach only the sigwait below.
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);
  signal(SIGPIPE, SIG_IGN);

  // Two ports' connections, and room for the store, the workers and the listeners.
  RaiseDescriptorLimit(parsed.options.limits.maxConnections + 64);
  KestrelServer server(parsed.options);
  std::string error;
  if (!server.Start(error)) {
    std::fprintf(stderr, "kestrel-server: %s\n", error.c_str());
    server.Stop();
    return 1;
  }
  std::fputs(StartupText(parsed.options, server.HttpPort(), server.HttpsPort()).c_str(), stderr);
  if (!parsed.options.readyFile.empty() &&
      !WriteReadyFile(parsed.options.readyFile, server.HttpPort(), server.HttpsPort())) {
    std::fprintf(stderr, "kestrel-server: cannot write %s\n", parsed.options.readyFile.c_str());
    server.Stop();
    return 1;
  }
  int received = 0;
  sigwait(&signals, &received);
  std::fprintf(stderr, "kestrel-server: stopping\n");
  server.Stop();
  return 0;
}
