#include "report/report_routes.h"

#include <httplib.h>
#include <json/json.h>

#include <memory>

#include "core/context.h"
#include "report/report_document.h"
#include "report/report_page.h"
#include "store/report_table.h"

namespace kestrel::server {
namespace {

constexpr const char* kJson = "application/json;charset=UTF-8";

std::string Quoted(const std::string& text) {
  Json::StreamWriterBuilder w;
  w["emitUTF8"] = true;
  return Json::writeString(w, Json::Value(text));
}

// The reader of the answer looks for the literal {"code": so the member order and the absence
// of spaces matter.
std::string Answer(int code, const std::string& message, const std::string& data) {
  return "{\"code\":" + std::to_string(code) + ",\"message\":" + Quoted(message) +
         ",\"data\":" + Quoted(data) + "}";
}

void Send(httplib::Response& res, int status, const std::string& body) {
  res.status = status;
  res.set_content(body, kJson);
}

// The faults a test switches on; true when the answer has been decided here.
bool ServeFault(ServerContext& ctx, httplib::Response& res) {
  switch (ctx.modes.Get().reportMode) {
    case ReportMode::kNormal:
      return false;
    case ReportMode::kCode201:
      Send(res, 200, Answer(201, "添加失败", ""));
      return true;
    case ReportMode::kUnknownCode:
      Send(res, 200, Answer(500, "server busy", "000000000000"));
      return true;
    case ReportMode::kNoCode:
      Send(res, 200, "{\"message\":\"ok\",\"data\":\"000000000000\"}");
      return true;
    case ReportMode::kNotJson:
      res.set_content("<html><body>502 Bad Gateway</body></html>", "text/html");
      return true;
    case ReportMode::kStall:
      ctx.Stall();
      [[fallthrough]];
    case ReportMode::kDrop:
      // Promises a length and ends at once: the connection closes before any of the body.
      res.set_content_provider(64, kJson,
                               [](std::size_t, std::size_t, httplib::DataSink&) { return false; });
      return true;
    case ReportMode::kEndless:
      res.set_chunked_content_provider(kJson, [&ctx](std::size_t, httplib::DataSink& sink) {
        static const std::string block(16 * 1024, ' ');
        return !ctx.stopping.load() && sink.write(block.data(), block.size());
      });
      return true;
  }
  return false;
}

void PostReport(ServerContext& ctx, const httplib::Request& req, httplib::Response& res) {
  if (ServeFault(ctx, res)) {
    return;
  }
  const std::string problem = CheckReportDocument(req.body);
  if (!problem.empty()) {
    Send(res, 400, Answer(201, "报告格式错误: " + problem, ""));
    return;
  }
  std::string error;
  const std::string number = AddReport(*ctx.db, req.body, error);
  if (number.empty()) {
    // The store is away (or refused): the client may send the report again later.
    Send(res, 503, Answer(201, "报告保存失败，请稍后再试", ""));
    return;
  }
  Send(res, 200, Answer(200, "添加成功", number));
}

void PutReport(ServerContext& ctx, const httplib::Request& req, httplib::Response& res) {
  if (ServeFault(ctx, res)) {
    return;
  }
  Json::CharReaderBuilder builder;
  const std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
  Json::Value root;
  std::string errors;
  if (!reader->parse(req.body.data(), req.body.data() + req.body.size(), &root, &errors) ||
      !root.isObject() || !root["number"].isString() || !root["optimize"].isIntegral() ||
      root.size() != 2) {
    Send(res, 400, Answer(201, "需要 number 和 optimize 两项", ""));
    return;
  }
  const std::string number = root["number"].asString();
  const Json::Int64 optimize = root["optimize"].asInt64();
  if (optimize != 0 && optimize != 1) {
    Send(res, 400, Answer(201, "optimize 只能是 0 或 1", ""));
    return;
  }
  std::string error;
  switch (SetReportOptimize(*ctx.db, number, static_cast<int>(optimize), error)) {
    case SetResult::kDone:
      break;
    case SetResult::kMissing:
      Send(res, 404, Answer(201, "没有这份报告", number));
      return;
    case SetResult::kFailed:
      Send(res, 503, Answer(201, "更新失败，请稍后再试", number));
      return;
  }
  Send(res, 200, Answer(200, "更新成功", number));
}

}  // namespace

void RegisterReportRoutes(httplib::Server& server, ServerContext& ctx) {
  server.Post("/report", [&ctx](const httplib::Request& req, httplib::Response& res) {
    PostReport(ctx, req, res);
  });
  server.Put("/report", [&ctx](const httplib::Request& req, httplib::Response& res) {
    PutReport(ctx, req, res);
  });
  // Whatever follows the path is looked up, so a cut or mistyped link gets the Chinese page.
  server.Get(R"(/reportDetail(?:/(.*))?)",
             [&ctx](const httplib::Request& req, httplib::Response& res) {
               const PageAnswer page = ReportPageFor(ctx, req.matches[1].str());
               res.status = page.status;
               res.set_content(page.html, "text/html; charset=utf-8");
             });
  server.Get(kReportStylePath, [](const httplib::Request&, httplib::Response& res) {
    res.set_header("Cache-Control", "max-age=3600");
    res.set_content(ReportStyleSheet(), "text/css; charset=utf-8");
  });
}

}  // namespace kestrel::server
