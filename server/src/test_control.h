// /_test/: switches the test modes and lets tests read what the server stored. Registered only
// when the server runs with --test-control.
#pragma once

namespace httplib {
class Server;
}

namespace kestrel::server {

struct ServerContext;

void RegisterTestControlRoutes(httplib::Server& http, ServerContext& ctx);

}  // namespace kestrel::server
