#include "admin/admin_routes.h"

#include <httplib.h>

#include <ctime>

#include "admin/admin_pages.h"
#include "admin/csv_export.h"
#include "admin/report_query.h"
#include "core/context.h"
#include "store/admin_tables.h"

namespace kestrel::server {
namespace {

constexpr const char* kHtml = "text/html; charset=utf-8";
constexpr const char* kLoginPath = "/admin/login";

std::int64_t Now() {
  return static_cast<std::int64_t>(std::time(nullptr));
}

void Html(httplib::Response& res, int status, const std::string& html) {
  res.status = status;
  res.set_header("Cache-Control", "no-store");
  res.set_content(html, kHtml);
}

void Unavailable(httplib::Response& res) {
  Html(res, 503, AdminMessageHtml("暂时无法使用", "报告存储暂时不可用，请稍后再试。"));
}

// The session token of the request's cookie, or "".
std::string SessionToken(const httplib::Request& req) {
  const std::string cookies = req.get_header_value("Cookie");
  const std::string key = std::string(kSessionCookie) + "=";
  for (std::size_t at = 0; at < cookies.size();) {
    while (at < cookies.size() && (cookies[at] == ' ' || cookies[at] == ';')) {
      ++at;
    }
    const std::size_t end = std::min(cookies.find(';', at), cookies.size());
    if (cookies.compare(at, key.size(), key) == 0) {
      return cookies.substr(at + key.size(), end - at - key.size());
    }
    at = end;
  }
  return {};
}

std::string Cookie(const std::string& value, int maxAge, bool secure) {
  return std::string(kSessionCookie) + "=" + value +
         "; Path=/admin; Max-Age=" + std::to_string(maxAge) + "; HttpOnly; SameSite=Strict" +
         (secure ? "; Secure" : "");
}

// The session's account; otherwise the answer (to the login, or 503) is already set.
bool Authorised(ServerContext& ctx, const httplib::Request& req, httplib::Response& res,
                std::string& account) {
  switch (FindSession(*ctx.db, SessionToken(req), Now(), account)) {
    case SessionResult::kValid:
      return true;
    case SessionResult::kNone:
      res.set_header("Cache-Control", "no-store");
      res.set_redirect(kLoginPath, 303);
      return false;
    case SessionResult::kFailed:
      Unavailable(res);
      return false;
  }
  return false;
}

bool Filter(const httplib::Request& req, httplib::Response& res, ReportFilter& filter) {
  std::string error;
  if (ReadFilter([&req](const char* name) { return req.get_param_value(name); }, DateOf(Now()),
                 filter, error)) {
    return true;
  }
  Html(res, 400, AdminMessageHtml("筛选条件无效", error));
  return false;
}

void Login(ServerContext& ctx, bool secure, const httplib::Request& req, httplib::Response& res) {
  const std::string name = req.get_param_value("name");
  const LoginLimits limits;
  switch (
      CheckLogin(*ctx.db, name, req.get_param_value("password"), req.remote_addr, Now(), limits)) {
    case LoginResult::kOk: {
      const std::string token = StartSession(*ctx.db, name, Now(), limits);
      if (token.empty()) {
        Unavailable(res);
        return;
      }
      res.set_header("Set-Cookie", Cookie(token, limits.sessionSeconds, secure));
      res.set_header("Cache-Control", "no-store");
      res.set_redirect("/admin", 303);
      return;
    }
    case LoginResult::kWrong:
      Html(res, 401, LoginPageHtml("用户名或密码错误。"));
      return;
    case LoginResult::kLocked:
      Html(res, 429, LoginPageHtml("登录失败次数过多，请 15 分钟后再试。"));
      return;
    case LoginResult::kFailed:
      Unavailable(res);
      return;
  }
}

}  // namespace

void RegisterAdminRoutes(httplib::Server& server, ServerContext& ctx, bool secure) {
  server.Get(kLoginPath, [](const httplib::Request&, httplib::Response& res) {
    Html(res, 200, LoginPageHtml(""));
  });
  server.Post(kLoginPath, [&ctx, secure](const httplib::Request& req, httplib::Response& res) {
    Login(ctx, secure, req, res);
  });
  server.Post("/admin/logout", [&ctx, secure](const httplib::Request& req, httplib::Response& res) {
    const std::string token = SessionToken(req);
    if (!token.empty()) {
      EndSession(*ctx.db, token);
    }
    res.set_header("Set-Cookie", Cookie("", 0, secure));
    res.set_redirect(kLoginPath, 303);
  });
  server.Get("/admin", [&ctx](const httplib::Request& req, httplib::Response& res) {
    std::string account;
    ReportFilter filter;
    if (!Authorised(ctx, req, res, account) || !Filter(req, res, filter)) {
      return;
    }
    Overview overview;
    std::string error;
    if (!QueryOverview(*ctx.db, filter, kListLimit, overview, error)) {
      Unavailable(res);
      return;
    }
    Html(res, 200, OverviewPageHtml(account, filter, overview));
  });
  server.Get("/admin/reports.csv", [&ctx](const httplib::Request& req, httplib::Response& res) {
    std::string account;
    ReportFilter filter;
    if (!Authorised(ctx, req, res, account) || !Filter(req, res, filter)) {
      return;
    }
    std::vector<ListedReport> reports;
    std::string error;
    if (!QueryReports(*ctx.db, filter, kExportLimit, reports, error)) {
      Unavailable(res);
      return;
    }
    res.set_header("Cache-Control", "no-store");
    res.set_header("Content-Disposition",
                   "attachment; filename=\"reports-" + filter.from + "-" + filter.to + ".csv\"");
    res.set_content(ReportsCsv(reports), "text/csv; charset=utf-8");
  });
  server.Get(kAdminStylePath, [](const httplib::Request&, httplib::Response& res) {
    res.set_header("Cache-Control", "max-age=3600");
    res.set_content(AdminStyleSheet(), "text/css; charset=utf-8");
  });
}

}  // namespace kestrel::server
