// An in-process server on free loopback ports with test control on, and a client for it.
#pragma once

#include <httplib.h>

#include <memory>
#include <string>

#include "kestrel_server.h"

namespace kestrel::server::test {

class RunningServer {
 public:
  explicit RunningServer(ServerOptions options = TestOptions());
  ~RunningServer();

  httplib::Client& Http() { return *http_; }
  KestrelServer& Server() { return server_; }
  // POST /_test/set?<query>; returns the HTTP status.
  int Set(const std::string& query);

  static ServerOptions TestOptions();

 private:
  KestrelServer server_;
  std::unique_ptr<httplib::Client> http_;
};

}  // namespace kestrel::server::test
