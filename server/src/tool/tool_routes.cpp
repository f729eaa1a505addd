#include "tool_routes.h"

#include <httplib.h>

#include <algorithm>

#include "core/context.h"
#include "store/tool_store.h"
#include "store/tool_tables.h"
#include "tool_pages.h"
#include "tool_records.h"
#include "version_check.h"

namespace kestrel::server {
namespace {

constexpr const char* kHtml = "text/html; charset=utf-8";

void Apply(const ToolAnswer& answer, httplib::Response& res) {
  res.status = answer.status;
  res.set_content(answer.body, answer.contentType.c_str());
}

// The address the version check hands out: the configured one, else this server's download
// page under the host name the caller used to reach it.
std::string DownloadUrl(const httplib::Request& req, const ServerContext& ctx, const Modes& modes) {
  if (!modes.versionUrl.empty()) {
    return modes.versionUrl;
  }
  std::string host = req.get_header_value("Host");
  const bool plain = !host.empty() && std::all_of(host.begin(), host.end(), [](char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == ':' || c == '-' ||
           c == '[' || c == ']';
  });
  if (!plain) {
    // The listener's own address: the configured port may be 0 (any free one).
    host = ctx.options.host + ":" + std::to_string(req.local_port);
  }
  return "http://" + host + kDownloadPagePath;
}

Json::Value StatisticJson(const StatisticRecord& r) {
  Json::Value out(Json::objectValue);
  out["row"] = static_cast<Json::Int64>(r.row);
  out["receivedAt"] = r.receivedAt;
  Json::Value members(Json::objectValue);
  bool utf8 = true;
  for (std::size_t i = 0; i < kStatisticMembers.size(); ++i) {
    members[kStatisticMembers[i]] = r.members[i];
    utf8 = utf8 && IsValidUtf8(r.members[i]);
  }
  out["members"] = members;
  out["validUtf8"] = utf8;
  out["body"] = r.body;
  return out;
}

Json::Value FeedbackJson(const FeedbackRecord& r) {
  Json::Value out(Json::objectValue);
  out["row"] = static_cast<Json::Int64>(r.row);
  out["receivedAt"] = r.receivedAt;
  out["id"] = r.toolId;
  out["contact"] = r.contact;
  out["text"] = r.text;
  return out;
}

constexpr const char* kJson = "application/json; charset=utf-8";

// GET <path>: every stored record, oldest first; GET <path>/last: the newest one, or 404.
template <typename Record>
void ReadBack(httplib::Server& http, const std::string& path,
              std::vector<Record> (ToolStore::*list)(), Json::Value (*toJson)(const Record&),
              const std::shared_ptr<ToolStore>& store) {
  http.Get(path, [=](const httplib::Request&, httplib::Response& res) {
    Json::Value all(Json::arrayValue);
    for (const Record& r : ((*store).*list)()) {
      all.append(toJson(r));
    }
    res.set_content(JsonText(all), kJson);
  });
  http.Get(path + "/last", [=](const httplib::Request&, httplib::Response& res) {
    const std::vector<Record> records = ((*store).*list)();
    if (records.empty()) {
      Apply(CodeAnswer(404, 404, "nothing stored yet"), res);
      return;
    }
    res.set_content(JsonText(toJson(records.back())), kJson);
  });
}

void RegisterReadBackRoutes(httplib::Server& http, const std::shared_ptr<ToolStore>& store) {
  ReadBack(http, "/_test/statistics", &ToolStore::Statistics, &StatisticJson, store);
  ReadBack(http, "/_test/feedback", &ToolStore::Feedback, &FeedbackJson, store);
}

}  // namespace

void RegisterToolRoutes(httplib::Server& http, ServerContext& ctx) {
  RegisterToolRoutes(http, ctx, std::make_shared<DatabaseToolStore>(*ctx.db));
}

void RegisterToolRoutes(httplib::Server& http, ServerContext& ctx,
                        std::shared_ptr<ToolStore> store) {
  http.Post("/Home/tool/version", [&ctx](const httplib::Request& req, httplib::Response& res) {
    const Modes modes = ctx.modes.Get();
    if (modes.versionMode == VersionMode::kStall && !ctx.Stall()) {
      return;
    }
    Apply(AnswerVersionCheck(req.body, modes.versionCurrent, DownloadUrl(req, ctx, modes),
                             modes.versionMode),
          res);
  });

  http.Post("/Home/tool/statistics", [store](const httplib::Request& req, httplib::Response& res) {
    StatisticRecord record;
    std::string error;
    if (!ReadStatistic(req.body, record, error)) {
      Apply(CodeAnswer(400, 400, error), res);
      return;
    }
    record.receivedAt = UtcNowText();
    if (!store->AddStatistic(record)) {
      Apply(CodeAnswer(503, 500, "保存失败"), res);
      return;
    }
    Apply(CodeAnswer(200, 200, "ok"), res);
  });

  http.Get("/home", [](const httplib::Request&, httplib::Response& res) {
    res.set_content(FeedbackPageHtml(), kHtml);
  });
  http.Post("/home/suggest", [store](const httplib::Request& req, httplib::Response& res) {
    FeedbackRecord record;
    const FeedbackError error = ReadFeedback(req.body, record);
    if (error != kFeedbackOk) {
      Apply(CodeAnswer(400, 400 + error, FeedbackMessage(error)), res);
      return;
    }
    record.receivedAt = UtcNowText();
    if (!store->AddFeedback(record)) {
      Apply(CodeAnswer(503, 500, "保存失败，请稍后再试。"), res);
      return;
    }
    Apply(CodeAnswer(200, 200, FeedbackMessage(kFeedbackOk)), res);
  });

  http.Get(kDownloadPagePath, [&ctx](const httplib::Request&, httplib::Response& res) {
    res.set_content(DownloadPageHtml(ctx.modes.Get().versionCurrent), kHtml);
  });
  http.Get(kHelpArticlePath, [](const httplib::Request&, httplib::Response& res) {
    res.set_content(HelpArticleHtml(), kHtml);
  });
  http.Get(R"(/detail/.*)", [](const httplib::Request&, httplib::Response& res) {
    res.status = 404;
    res.set_content(NotFoundPageHtml(), kHtml);
  });
  http.Get(kToolStylePath, [](const httplib::Request&, httplib::Response& res) {
    res.set_header("Cache-Control", "max-age=3600");
    res.set_content(ToolStyleSheet(), "text/css; charset=utf-8");
  });
  http.Get(kFeedbackScriptPath, [](const httplib::Request&, httplib::Response& res) {
    res.set_header("Cache-Control", "max-age=3600");
    res.set_content(FeedbackScript(), "text/javascript; charset=utf-8");
  });

  if (ctx.options.testControl) {
    RegisterReadBackRoutes(http, store);
  }
}

}  // namespace kestrel::server
