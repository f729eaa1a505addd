// The connection layer in front of the routes. One thread waits on every open connection at
// once (epoll): it accepts, holds each client to the address caps, runs TLS handshakes, and
// collects each request's head and body against their deadlines. Only a complete request (or
// the head of a refused body) goes to a worker thread, which answers it and gives the connection
// back to wait for the next one. An idle or slow client so costs a socket and a few bytes,
// never a thread.
#pragma once

#include <openssl/ssl.h>

#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "address_slots.h"
#include "connection.h"
#include "connection_limits.h"

namespace httplib {
class Stream;
class TaskQueue;
}  // namespace httplib

namespace kestrel::server {

class ConnectionGate {
 public:
  // Answers one request from the stream; false when the connection must close.
  using Serve = std::function<bool(httplib::Stream&, bool closeConnection, bool& connectionClosed)>;

  // `tls` (may be null: plain HTTP) stays owned by the caller and outlives the gate.
  ConnectionGate(const ConnectionLimits& limits, SSL_CTX* tls, Serve serve,
                 httplib::TaskQueue& workers, AddressSlots& slots);
  ~ConnectionGate();
  ConnectionGate(const ConnectionGate&) = delete;
  ConnectionGate& operator=(const ConnectionGate&) = delete;

  // Binds and listens (port 0 picks a free one); false with a message otherwise.
  bool Listen(const std::string& host, int port, int& bound, std::string& error);
  void Start();
  // Closes every connection, waiting or being answered, and ends the thread. Safe to call twice.
  void Stop();

 private:
  // kDrain: answered, the rest of a refused body is read and dropped so that closing the
  // connection does not reset it before the client has read the answer.
  enum class Stage { kHandshake, kHead, kBody, kDrain };
  struct Waiting {
    std::shared_ptr<Connection> conn;
    Stage stage = Stage::kHead;
    bool kept = false;  // between two requests: the idle bound until its first byte
    std::chrono::steady_clock::time_point deadline;
    std::chrono::steady_clock::time_point bodyStart;
    std::size_t headBytes = 0;
    std::uint64_t bodyBytes = 0;  // in kDrain: the bytes still to drop
    std::uint64_t dropped = 0;
    std::uint64_t counted = 0;  // of `received`, in bodyBuffered_
    std::uint32_t events = 0;
  };
  using Clock = std::chrono::steady_clock;

  void Run();
  void Accept();
  void Admit(std::shared_ptr<Connection> conn, bool kept, std::uint64_t drain);
  void Advance(int fd);
  // Looks at what a connection has received; false when it was closed or handed over.
  bool Evaluate(Waiting& w);
  // `unread`: body bytes the routes will not read (a refused body), dropped after the answer.
  void HandOver(int fd, std::uint64_t length, std::uint64_t unread);
  void Answered(const std::shared_ptr<Connection>& conn, bool keep, std::uint64_t drain);
  void Refuse(Waiting& w, const char* status);
  void Close(int fd);
  void Watch(Waiting& w, std::uint32_t events);
  void Sweep();
  void TakeBack();

  const ConnectionLimits limits_;
  SSL_CTX* const tls_;
  const Serve serve_;
  httplib::TaskQueue& workers_;
  AddressSlots& slots_;
  int listenFd_ = -1;
  int epollFd_ = -1;
  int wakeFd_ = -1;
  bool listenPaused_ = false;
  std::uint64_t bodyBuffered_ = 0;
  Clock::time_point resumeListen_;
  std::thread thread_;
  std::unordered_map<int, Waiting> waiting_;  // only the gate thread touches it

  std::mutex mutex_;  // guards what workers and Stop() share with the gate thread
  bool stopping_ = false;
  std::unordered_set<Connection*> busy_;
  struct Returned {
    std::shared_ptr<Connection> conn;
    std::uint64_t drain;
  };
  std::vector<Returned> returned_;
};

}  // namespace kestrel::server
