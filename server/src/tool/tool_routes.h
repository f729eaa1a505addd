// The statistics and version endpoints the tool calls, the pages it opens (feedback, download,
// help article) and, with test control, the routes that read back what was stored.
#pragma once

#include <memory>

namespace httplib {
class Server;
}

namespace kestrel::server {

struct ServerContext;
class ToolStore;

// Keeps the records in the server's database, or in `store` when one is given.
void RegisterToolRoutes(httplib::Server& http, ServerContext& ctx);
void RegisterToolRoutes(httplib::Server& http, ServerContext& ctx,
                        std::shared_ptr<ToolStore> store);

}  // namespace kestrel::server
