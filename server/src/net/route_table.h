// The routes of one port. Requests reach it from the connection layer, one at a time per
// connection, so the library's own listener and thread pool are never started.
#pragma once

#include <httplib.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace kestrel::server {

class RouteTable : public httplib::Server {
 public:
  // The library ends a streamed answer once its listening socket is gone; the routes have
  // none, so a descriptor of their own stands in for it until Closing().
  RouteTable() : placeholder_(eventfd(0, EFD_CLOEXEC)) { svr_sock_ = placeholder_; }
  ~RouteTable() override { close(placeholder_); }

  // Reads one request from `stream`, answers it; false when the connection must close.
  bool Serve(httplib::Stream& stream, bool closeConnection, bool& connectionClosed) {
    return process_request(stream, closeConnection, connectionClosed, nullptr);
  }
  // Streamed answers (the payload) stop at their next piece.
  void Closing() { svr_sock_ = INVALID_SOCKET; }

 private:
  const int placeholder_;
};

}  // namespace kestrel::server
