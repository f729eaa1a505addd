// One request as the routes read it: its head and body, already received whole by the
// connection layer (never more: the next request stays for the next stream). Answers are
// written straight to the connection.
#pragma once

#include <httplib.h>

#include <cstdint>

#include "connection.h"
#include "connection_limits.h"

namespace kestrel::server {

class RequestStream : public httplib::Stream {
 public:
  // `length` is the request's head and body (only the head for a refused body), all in
  // `received`.
  RequestStream(Connection& conn, std::uint64_t length, const ConnectionLimits& limits);

  bool is_readable() const override;
  bool is_writable() const override;
  ssize_t read(char* ptr, size_t size) override;
  ssize_t write(const char* ptr, size_t size) override;
  void get_remote_ip_and_port(std::string& ip, int& port) const override;
  void get_local_ip_and_port(std::string& ip, int& port) const override;
  socket_t socket() const override;

  // True when the routes read the request exactly to its end, so the next one starts cleanly.
  bool ReadWhole() const { return consumed_ == length_; }
  // Drops the request from the connection's buffer, keeping what came after it.
  void Finish();

 private:
  Connection& conn_;
  const std::uint64_t length_;
  const ConnectionLimits& limits_;
  std::uint64_t consumed_ = 0;
  bool failed_ = false;
};

}  // namespace kestrel::server
