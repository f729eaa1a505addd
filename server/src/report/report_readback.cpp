#include "report/report_readback.h"

#include <httplib.h>

#include "core/context.h"
#include "store/report_table.h"

namespace kestrel::server {

void RegisterReportReadback(httplib::Server& http, ServerContext& ctx) {
  http.Get(R"(/_test/report/(\d{1,20}))",
           [&ctx](const httplib::Request& req, httplib::Response& res) {
             std::string error;
             const auto stored = FindReport(*ctx.db, req.matches[1].str(), &error);
             if (!stored && !error.empty()) {
               res.status = 503;
               res.set_content("store unavailable\n", "text/plain; charset=utf-8");
               return;
             }
             if (!stored) {
               res.status = 404;
               res.set_content("no such report\n", "text/plain; charset=utf-8");
               return;
             }
             res.set_header("X-Kestrel-Optimize", stored->optimize);
             res.set_content(stored->document, "application/json;charset=UTF-8");
           });
}

}  // namespace kestrel::server
