// kestrel-server: the local stand-in for every web endpoint the product talks to.
#include <signal.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "kestrel_server.h"
#include "options.h"

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

  // The listener threads inherit this mask, so the signals reach only the sigwait below.
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);
  signal(SIGPIPE, SIG_IGN);

  KestrelServer server(parsed.options);
  std::string error;
  if (!server.Start(error)) {
    std::fprintf(stderr, "kestrel-server: %s\n", error.c_str());
    server.Stop();
    return 1;
  }
  const std::string& host = parsed.options.host;
  std::fprintf(stderr, "kestrel-server: http://%s:%d/", host.c_str(), server.HttpPort());
  if (server.HttpsPort() > 0) {
    std::fprintf(stderr, " https://%s:%d/", host.c_str(), server.HttpsPort());
  }
  std::fprintf(stderr, "%s\n", parsed.options.testControl ? " (test control on)" : "");
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
