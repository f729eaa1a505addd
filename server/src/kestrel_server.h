// The server: a plain HTTP port (payload, telemetry, pages, test control) and, when configured,
// an HTTPS port (report upload and report pages). Each port has a connection layer that waits
// on all its clients from one thread and a pool of workers that answer complete requests.
#pragma once

#include <memory>
#include <string>

#include "core/context.h"
#include "core/options.h"
#include "net/address_slots.h"
#include "net/connection_gate.h"
#include "net/route_table.h"
#include "net/tls_context.h"
#include "store/database.h"

namespace httplib {
class ThreadPool;
}

namespace kestrel::server {

// The store the options name, not yet prepared.
std::unique_ptr<Database> OpenStore(const ServerOptions& options, std::string& error);

class KestrelServer {
 public:
  explicit KestrelServer(const ServerOptions& options);
  ~KestrelServer();
  KestrelServer(const KestrelServer&) = delete;
  KestrelServer& operator=(const KestrelServer&) = delete;

  // Binds the ports (0 picks a free one) and starts serving; false with a message otherwise.
  bool Start(std::string& error);
  // Ends every wait and transfer and joins every thread. Safe to call twice.
  void Stop();

  int HttpPort() const { return httpPort_; }
  int HttpsPort() const { return httpsPort_; }
  ServerContext& Context() { return ctx_; }
  // Open client connections on both ports, waiting or being answered.
  std::size_t OpenConnections() const { return slots_.InUse(); }

 private:
  struct Port {
    RouteTable routes;
    std::unique_ptr<httplib::ThreadPool> workers;
    std::unique_ptr<ConnectionGate> gate;
  };

  void Configure(RouteTable& routes, bool secure);
  bool Open(Port& port, SSL_CTX* tls, int wanted, int& bound, std::string& error);

  ServerContext ctx_;
  ConnectionLimits limits_;
  AddressSlots slots_;
  std::unique_ptr<Database> db_;
  TlsContext tls_;
  std::unique_ptr<Port> http_;
  std::unique_ptr<Port> https_;
  int httpPort_ = -1;
  int httpsPort_ = -1;
};

}  // namespace kestrel::server
