#include "kestrel_server.h"

#include <httplib.h>

#include "admin/admin_routes.h"
#include "payload.h"
#include "report/report_readback.h"
#include "report/report_routes.h"
#include "security_headers.h"
#include "store/schema.h"
#include "test_control.h"
#include "tool/tool_routes.h"

namespace kestrel::server {
namespace {

ConnectionLimits LimitsOf(const ServerOptions& o) {
  ConnectionLimits limits = o.limits;
  limits.maxBodyBytes = o.maxBodyBytes;
  return limits;
}

}  // namespace

std::unique_ptr<Database> OpenStore(const ServerOptions& o, std::string& error) {
  const std::string target = DatabasePath(o.dbFile, o.dataDir);
  if (IsPostgresTarget(target)) {
    return OpenPostgres(target, o.dbConnections, error);
  }
  return Database::Open(target, error);
}

KestrelServer::KestrelServer(const ServerOptions& options)
    : ctx_(options),
      limits_(LimitsOf(options)),
      slots_(limits_.maxConnections, limits_.maxPerAddress) {}

KestrelServer::~KestrelServer() {
  Stop();
}

void KestrelServer::Configure(RouteTable& server, bool secure) {
  server.set_payload_max_length(ctx_.options.maxBodyBytes);
  server.set_default_headers(SecurityHeaders(secure));
  // What the answers announce; the connection layer holds clients to these values.
  server.set_keep_alive_max_count(limits_.maxKeepAliveRequests);
  server.set_keep_alive_timeout(limits_.idleSeconds);
  server.set_exception_handler(
      [](const httplib::Request&, httplib::Response& res, std::exception_ptr) {
        res.status = 500;
        res.set_content("internal error\n", "text/plain; charset=utf-8");
      });
  const std::size_t limit = ctx_.options.maxBodyBytes;
  server.set_error_handler([limit](const httplib::Request&, httplib::Response& res) {
    if (!res.body.empty()) {
      return;
    }
    std::string text = std::to_string(res.status);
    if (res.status == 413) {
      text += " request body too large (at most " + std::to_string(limit) + " bytes)";
    }
    res.set_content(text + "\n", "text/plain; charset=utf-8");
  });
  // The report routes answer on both: the product uses HTTPS, tests and scripts may use either.
  RegisterReportRoutes(server, ctx_);
  // The overview wants its password and cookie encrypted: on the HTTPS port when there is one.
  if (secure || ctx_.options.httpsPort < 0) {
    RegisterAdminRoutes(server, ctx_, secure);
  }
  if (!secure) {
    RegisterPayloadRoutes(server, ctx_);
    RegisterToolRoutes(server, ctx_);
    if (ctx_.options.testControl) {
      RegisterTestControlRoutes(server, ctx_);
      RegisterReportReadback(server, ctx_);
    }
  }
}

bool KestrelServer::Open(Port& port, SSL_CTX* tls, int wanted, int& bound, std::string& error) {
  port.workers =
      std::make_unique<httplib::ThreadPool>(static_cast<std::size_t>(ctx_.options.threads));
  RouteTable& routes = port.routes;
  port.gate = std::make_unique<ConnectionGate>(
      limits_, tls,
      [&routes](httplib::Stream& s, bool closeConnection, bool& closed) {
        return routes.Serve(s, closeConnection, closed);
      },
      *port.workers, slots_);
  return port.gate->Listen(ctx_.options.host, wanted, bound, error);
}

bool KestrelServer::Start(std::string& error) {
  const ServerOptions& o = ctx_.options;
  db_ = OpenStore(o, error);
  if (!db_) {
    return false;
  }
  if (!PrepareStore(*db_, error)) {
    error = "cannot prepare the store: " + error;
    return false;
  }
  ctx_.db = db_.get();
  http_ = std::make_unique<Port>();
  Configure(http_->routes, false);
  if (o.httpsPort >= 0) {
    tls_ = MakeTlsContext(o.certFile, o.keyFile);
    if (!tls_) {
      error = "cannot load the certificate " + o.certFile + " or the key " + o.keyFile;
      return false;
    }
    https_ = std::make_unique<Port>();
    Configure(https_->routes, true);
  }
  if (!Open(*http_, nullptr, o.httpPort, httpPort_, error)) {
    return false;
  }
  if (https_ && !Open(*https_, tls_.get(), o.httpsPort, httpsPort_, error)) {
    return false;
  }
  http_->gate->Start();
  if (https_) {
    https_->gate->Start();
  }
  return true;
}

void KestrelServer::Stop() {
  ctx_.stopping = true;
  // The gates first: they close every connection, so the workers' answers end at once; the
  // workers last, because a finishing worker hands its connection back to its gate.
  for (Port* port : {http_.get(), https_.get()}) {
    if (port) {
      port->routes.Closing();
    }
    if (port && port->gate) {
      port->gate->Stop();
    }
  }
  for (Port* port : {http_.get(), https_.get()}) {
    if (port && port->workers) {
      port->workers->shutdown();
      port->workers.reset();
    }
  }
}

}  // namespace kestrel::server
