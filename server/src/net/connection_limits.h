// The bounds the connection layer holds every client to, so that clients that stall or flood
// cannot keep the server from answering everyone else.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kestrel::server {

struct ConnectionLimits {
  int headerSeconds = 5;            // from connecting (or the handshake) to the end of the headers
  int idleSeconds = 5;              // a kept connection's wait for its next request
  int handshakeSeconds = 5;         // a TLS handshake, from connecting
  int writeSeconds = 10;            // the longest an answer may wait for the client to read
  std::int64_t bodyMinRate = 4096;  // bytes per second a body must keep up after headerSeconds
  std::size_t maxConnections = 16384;
  std::size_t maxPerAddress = 256;  // a whole school may sit behind one address
  int backlog = 1024;
  std::size_t maxHeadBytes = 16 * 1024;
  std::uint64_t maxBodyBytes = 4u * 1024 * 1024;  // larger bodies are answered 413 by the routes
  // Bodies wait whole in memory before a worker sees them; past this sum over all connections
  // a body that still arrives is refused (503) rather than the server's memory growing.
  std::uint64_t bodyBudgetBytes = 256u * 1024 * 1024;
  std::size_t maxKeepAliveRequests = 100;
};

}  // namespace kestrel::server
