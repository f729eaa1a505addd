// What every route of the server shares: the options, the switchable test modes, the payload
// pacing and the stop flag that ends every wait when the server shuts down.
#pragma once

#include <atomic>
#include <chrono>

#include "core/options.h"
#include "core/test_modes.h"
#include "core/token_bucket.h"

namespace kestrel::server {

class Database;

struct ServerContext {
  explicit ServerContext(const ServerOptions& o);

  const ServerOptions options;
  TestModes modes;
  TokenBucket bucket;
  Database* db = nullptr;
  std::atomic<bool> stopping{false};

  // Waits until `when` in short slices; false when the server began to stop meanwhile.
  bool SleepUntil(std::chrono::steady_clock::time_point when) const;
  // A stalled answer: holds its connection for the configured time without sending.
  bool Stall() const;
};

}  // namespace kestrel::server
