// The server: a plain HTTP listener (payload, telemetry, pages, test control) and, when
// configured, an HTTPS listener (report upload and report pages), each on its own thread.
#pragma once

#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "context.h"
#include "options.h"
#include "store/database.h"

namespace httplib {
class Server;
}

namespace kestrel::server {

class KestrelServer {
 public:
  explicit KestrelServer(const ServerOptions& options);
  ~KestrelServer();
  KestrelServer(const KestrelServer&) = delete;
  KestrelServer& operator=(const KestrelServer&) = delete;

  // Binds the ports (0 picks a free one) and starts serving; false with a message otherwise.
  bool Start(std::string& error);
  // Ends every wait and transfer and joins the listeners. Safe to call twice.
  void Stop();

  int HttpPort() const { return httpPort_; }
  int HttpsPort() const { return httpsPort_; }
  ServerContext& Context() { return ctx_; }

 private:
  void Configure(httplib::Server& server, bool secure);
  bool Bind(httplib::Server& server, int wanted, int& bound, std::string& error);

  ServerContext ctx_;
  std::unique_ptr<Database> db_;
  std::unique_ptr<httplib::Server> http_;
  std::unique_ptr<httplib::Server> https_;
  std::vector<std::thread> threads_;
  int httpPort_ = -1;
  int httpsPort_ = -1;
};

}  // namespace kestrel::server
