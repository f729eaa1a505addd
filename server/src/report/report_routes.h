// POST /report stores a report, PUT /report records its DNS optimisation state, GET
// /reportDetail/<number> shows it.
#pragma once

namespace httplib {
class Server;
}

namespace kestrel::server {

struct ServerContext;

void RegisterReportRoutes(httplib::Server& server, ServerContext& ctx);

}  // namespace kestrel::server
