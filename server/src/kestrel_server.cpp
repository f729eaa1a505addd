#include "kestrel_server.h"

#include <httplib.h>

#include <chrono>
#include <thread>

#include "payload.h"
#include "report/report_readback.h"
#include "report_routes.h"
#include "store/report_table.h"
#include "store/tool_tables.h"
#include "test_control.h"
#include "tool/tool_routes.h"

namespace kestrel::server {

KestrelServer::KestrelServer(const ServerOptions& options) : ctx_(options) {}

KestrelServer::~KestrelServer() {
  Stop();
}

void KestrelServer::Configure(httplib::Server& server, bool secure) {
  const int threads = ctx_.options.threads;
  server.new_task_queue = [threads] {
    return new httplib::ThreadPool(static_cast<std::size_t>(threads));
  };
  server.set_payload_max_length(ctx_.options.maxBodyBytes);
  // The library's default adds SO_REUSEPORT, which lets a second server (a stale one, or another
  // checkout's) bind the same port and take a share of the connections. A taken port must fail.
  server.set_socket_options([](socket_t sock) {
    int yes = 1;
    setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
  });
  server.set_keep_alive_max_count(100);
  // An answer goes out in more than one write: on a reused connection each later write would
  // wait for the client's delayed acknowledgement (40 ms) of the one before.
  server.set_tcp_nodelay(true);
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
  if (!secure) {
    RegisterPayloadRoutes(server, ctx_);
    RegisterToolRoutes(server, ctx_);
    if (ctx_.options.testControl) {
      RegisterTestControlRoutes(server, ctx_);
      RegisterReportReadback(server, ctx_);
    }
  }
}

bool KestrelServer::Bind(httplib::Server& server, int wanted, int& bound, std::string& error) {
  const std::string& host = ctx_.options.host;
  if (wanted == 0) {
    bound = server.bind_to_any_port(host);
  } else if (server.bind_to_port(host, wanted)) {
    bound = wanted;
  } else {
    bound = -1;
  }
  if (bound <= 0) {
    error = "cannot listen on " + host + ":" + std::to_string(wanted);
    return false;
  }
  return true;
}

bool KestrelServer::Start(std::string& error) {
  const ServerOptions& o = ctx_.options;
  db_ = Database::Open(DatabasePath(o.dbFile, o.dataDir), error);
  if (!db_) {
    return false;
  }
  if (!CreateReportTable(*db_, error) || !CreateToolTables(*db_, error)) {
    return false;
  }
  ctx_.db = db_.get();
  http_ = std::make_unique<httplib::Server>();
  Configure(*http_, false);
  if (o.httpsPort >= 0) {
    https_ = std::make_unique<httplib::SSLServer>(o.certFile.c_str(), o.keyFile.c_str());
    if (!https_->is_valid()) {
      error = "cannot load the certificate " + o.certFile + " or the key " + o.keyFile;
      return false;
    }
    Configure(*https_, true);
  }
  if (!Bind(*http_, o.httpPort, httpPort_, error)) {
    return false;
  }
  if (https_ && !Bind(*https_, o.httpsPort, httpsPort_, error)) {
    return false;
  }
  threads_.emplace_back([this] { http_->listen_after_bind(); });
  if (https_) {
    threads_.emplace_back([this] { https_->listen_after_bind(); });
  }
  // The library's stop() does nothing to a server whose accept loop has not begun yet, and that
  // loop would then never end: a Stop() soon after Start() (a busy machine) would hang. The loop
  // only ends through stop(); the bound keeps a library that ends it otherwise from hanging here.
  const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while ((!http_->is_running() || (https_ && !https_->is_running())) &&
         std::chrono::steady_clock::now() < giveUp) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

void KestrelServer::Stop() {
  ctx_.stopping = true;
  if (http_) {
    http_->stop();
  }
  if (https_) {
    https_->stop();
  }
  for (auto& t : threads_) {
    t.join();
  }
  threads_.clear();
}

}  // namespace kestrel::server
