#include "core/context.h"

#include <algorithm>
#include <thread>

namespace kestrel::server {
namespace {

Modes DefaultModes(const ServerOptions& o) {
  Modes m;
  m.payloadRate = o.rate;
  m.payloadBytes = o.payloadBytes;
  m.versionCurrent = o.currentVersion;
  m.versionUrl = o.downloadUrl;
  return m;
}

}  // namespace

ServerContext::ServerContext(const ServerOptions& o)
    : options(o), modes(DefaultModes(o)), bucket(o.rate) {}

bool ServerContext::SleepUntil(std::chrono::steady_clock::time_point when) const {
  constexpr auto kSlice = std::chrono::milliseconds(20);
  for (;;) {
    if (stopping.load()) {
      return false;
    }
    const auto now = std::chrono::steady_clock::now();
    if (now >= when) {
      return true;
    }
    std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(when - now, kSlice));
  }
}

bool ServerContext::Stall() const {
  return SleepUntil(std::chrono::steady_clock::now() + std::chrono::seconds(options.stallSeconds));
}

}  // namespace kestrel::server
