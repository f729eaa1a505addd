// One accepted client connection: its socket (non-blocking throughout), its TLS session when
// the port is secure, the bytes received and not yet served, and its slot in the address count.
#pragma once

#include <openssl/ssl.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>

namespace kestrel::server {

class AddressSlots;

class Connection {
 public:
  Connection(int fd, SSL* ssl, std::string peer, int peerPort, AddressSlots& slots);
  ~Connection();
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  enum class Io { kDone, kWantRead, kWantWrite, kClosed };

  // Advances the TLS handshake without waiting (kDone at once on a plain connection).
  Io Handshake();
  // Appends what has arrived, at most `limit` bytes in all in `received`, without waiting:
  // kWantRead once nothing more is there, kClosed at the end of the stream or an error.
  Io ReadAvailable(std::size_t limit);
  // Reads and drops what has arrived, at most `limit` bytes, without waiting; adds the count.
  Io Discard(std::uint64_t limit, std::uint64_t& count);
  // Ends the sending direction of a plain connection: the client sees the answer's end.
  void EndSending();
  // Writes all of `data`, waiting at most `stallMs` for each step of progress.
  bool WriteAll(const char* data, std::size_t size, int stallMs);
  // Waits at most `ms` until a write can proceed.
  bool WaitWritable(int ms) const;
  // Ends both directions at once: a worker blocked on this connection returns.
  void Abort();

  int Fd() const { return fd_; }
  bool Secure() const { return ssl_ != nullptr; }
  const std::string& Peer() const { return peer_; }
  int PeerPort() const { return peerPort_; }

  std::string received;    // bytes not yet served, the next request first
  std::size_t served = 0;  // requests answered on this connection

 private:
  bool Wait(short events, int ms) const;

  int fd_;
  SSL* ssl_;
  std::string peer_;
  int peerPort_;
  AddressSlots& slots_;
  std::atomic<bool> failed_{false};
};

}  // namespace kestrel::server
