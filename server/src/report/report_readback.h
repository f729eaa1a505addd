// GET /_test/report/<number>: the stored document exactly as received, so tests of a client
// can compare it with what that client sent. Registered only with --test-control.
#pragma once

namespace httplib {
class Server;
}

namespace kestrel::server {

struct ServerContext;

// The DNS state goes in the header X-Kestrel-Optimize ("" until sent, then "0" or "1").
void RegisterReportReadback(httplib::Server& http, ServerContext& ctx);

}  // namespace kestrel::server
