// /admin: the overview for the people who run the server, behind a login. Accounts come from
// the server command --add-admin; sessions are a random token in an HttpOnly, SameSite=Strict
// cookie (Secure on the HTTPS port), kept in the store as its hash.
#pragma once

namespace httplib {
class Server;
}

namespace kestrel::server {

struct ServerContext;

inline constexpr const char* kSessionCookie = "kestrel_admin";
// At most this many reports are listed on the page; the export holds up to kExportLimit.
inline constexpr int kListLimit = 500;
inline constexpr int kExportLimit = 100000;

void RegisterAdminRoutes(httplib::Server& server, ServerContext& ctx, bool secure);

}  // namespace kestrel::server
