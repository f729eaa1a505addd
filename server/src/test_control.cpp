#include "test_control.h"

#include <httplib.h>

#include "core/context.h"

namespace kestrel::server {
namespace {

void Answer(httplib::Response& res, int status, const std::string& message) {
  res.status = status;
  res.set_content(message + "\n", "text/plain; charset=utf-8");
}

}  // namespace

void RegisterTestControlRoutes(httplib::Server& http, ServerContext& ctx) {
  http.Post("/_test/reset", [&ctx](const httplib::Request&, httplib::Response& res) {
    ctx.modes.Reset();
    ctx.bucket.SetRate(ctx.modes.Get().payloadRate);
    Answer(res, 200, "ok");
  });
  http.Post("/_test/set", [&ctx](const httplib::Request& req, httplib::Response& res) {
    std::vector<std::pair<std::string, std::string>> settings(req.params.begin(), req.params.end());
    if (settings.empty()) {
      Answer(res, 400, "nothing to set");
      return;
    }
    const std::int64_t rateBefore = ctx.modes.Get().payloadRate;
    const std::string error = ctx.modes.Apply(settings);
    if (!error.empty()) {
      Answer(res, 400, error);
      return;
    }
    const std::int64_t rate = ctx.modes.Get().payloadRate;
    if (rate != rateBefore) {
      ctx.bucket.SetRate(rate);
    }
    Answer(res, 200, "ok");
  });
}

}  // namespace kestrel::server
