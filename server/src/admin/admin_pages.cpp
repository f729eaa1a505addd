#include "admin/admin_pages.h"

#include "admin/charts.h"
#include "core/html_text.h"
#include "core/report_summary.h"

namespace kestrel::server {
namespace {

constexpr const char* kStyle =
    "*{box-sizing:border-box}"
    "body{margin:0;font-family:-apple-system,'PingFang SC','Microsoft YaHei','Noto Sans CJK SC',"
    "sans-serif;background:#f2f5f9;color:#1f2933;line-height:1.5}"
    "header{background:#1565c0;color:#fff;padding:14px 16px;display:flex;flex-wrap:wrap;"
    "align-items:center;gap:12px}"
    "header h1{margin:0;font-size:20px;font-weight:600;flex:1}"
    "header form{margin:0}"
    "main{max-width:1200px;margin:0 auto;padding:16px;display:grid;gap:16px}"
    "section{background:#fff;border-radius:10px;padding:16px;box-shadow:0 1px 3px rgba(0,0,0,.08);"
    "min-width:0;overflow-x:auto}"
    "h2{margin:0 0 10px;font-size:17px;color:#1565c0}"
    "form.filter{display:flex;flex-wrap:wrap;gap:10px;align-items:end}"
    "label{display:flex;flex-direction:column;font-size:13px;color:#52606d}"
    "input,select,button{font:inherit;padding:5px 8px;border:1px solid #cbd2d9;border-radius:6px}"
    "button{background:#1565c0;color:#fff;border-color:#1565c0;cursor:pointer}"
    "header button{background:#fff;color:#1565c0}"
    ".charts{display:grid;gap:16px;grid-template-columns:repeat(auto-fit,minmax(min(420px,100%),"
    "1fr))}"
    ".charts svg{width:100%;height:auto}"
    "table{width:100%;border-collapse:collapse;font-size:14px}"
    "th,td{padding:6px 4px;border-bottom:1px solid #e4e7eb;text-align:left;vertical-align:top}"
    "th{color:#52606d;font-weight:normal}"
    "td{overflow-wrap:anywhere}"
    ".error{color:#c62828}"
    ".login{max-width:360px;margin:40px auto}"
    ".login form{display:grid;gap:12px}";

std::string Page(const std::string& title, const std::string& header, const std::string& main) {
  return "<!DOCTYPE html><html lang=\"zh-CN\"><head><meta charset=\"utf-8\">"
         "<meta name=\"viewport\" content=\"width=device-width,initial-scale=1\"><title>" +
         EscapeHtml(title) + "</title><link rel=\"stylesheet\" href=\"" + kAdminStylePath +
         "\"></head><body><header>" + header + "</header><main>" + main + "</main></body></html>";
}

std::string Input(const char* label, const char* name, const char* type, const std::string& value) {
  return std::string("<label>") + label + "<input name=\"" + name + "\" type=\"" + type +
         "\" value=\"" + EscapeHtml(value) + "\"></label>";
}

std::string ScoreText(int score) {
  return score < 0 ? std::string() : std::to_string(score);
}

std::string FilterForm(const ReportFilter& f) {
  std::string problems = "<label>问题<select name=\"problem\"><option value=\"\">全部</option>";
  for (const ProblemKind& kind : kProblemKinds) {
    problems += std::string("<option value=\"") + kind.code + "\"" +
                (f.problem == kind.code ? " selected" : "") + ">" + kind.label + "</option>";
  }
  problems += "</select></label>";
  return "<section><h2>筛选</h2><form class=\"filter\" method=\"get\" action=\"/admin\">" +
         Input("从", "from", "date", f.from) + Input("到", "to", "date", f.to) + problems +
         Input("最低分", "min", "number", ScoreText(f.minScore)) +
         Input("最高分", "max", "number", ScoreText(f.maxScore)) +
         "<button id=\"apply\" type=\"submit\">筛选</button></form></section>";
}

std::string Charts(const Overview& o) {
  std::vector<Bar> scores;
  for (std::size_t i = 0; i < kScoreBuckets; ++i) {
    const int low = static_cast<int>(i) * kScoreBucketWidth;
    scores.push_back({i + 1 < kScoreBuckets
                          ? std::to_string(low) + "–" + std::to_string(low + kScoreBucketWidth - 1)
                          : std::to_string(low) + "+",
                      o.scores[i]});
  }
  std::vector<Bar> problems;
  for (const auto& [code, count] : o.problems) {
    problems.push_back({ProblemLabel(code), count});
  }
  return "<section><h2>图表</h2><div class=\"charts\"><figure id=\"score-chart\">" +
         ColumnChartSvg("总分分布", scores) +
         "<figcaption>总分分布</figcaption></figure><figure id=\"problem-chart\">" +
         RowChartSvg("最常见的问题", problems) +
         "<figcaption>最常见的问题</figcaption></figure></div></section>";
}

std::string Table(const ReportFilter& f, const Overview& o) {
  std::string rows;
  for (const ListedReport& r : o.reports) {
    std::string problems;
    for (const std::string& code : r.problems) {
      const char* label = ProblemLabel(code);
      problems += (problems.empty() ? "" : "、") + EscapeHtml(label ? label : code);
    }
    rows += "<tr><td><a href=\"/reportDetail/" + EscapeHtml(r.number) + "\">" +
            EscapeHtml(r.number) + "</a></td><td>" + EscapeHtml(r.received) + "</td><td>" +
            EscapeHtml(r.device) + "</td><td>" + EscapeHtml(r.serial) + "</td><td>" +
            std::to_string(r.score) + "</td><td>" + (problems.empty() ? "无" : problems) +
            "</td></tr>";
  }
  const std::string shown = o.reports.size() < static_cast<std::size_t>(o.total)
                                ? "，显示最新的 " + std::to_string(o.reports.size()) + " 份"
                                : std::string();
  return "<section><h2>报告</h2><p><span id=\"total\">" + std::to_string(o.total) +
         "</span> 份报告" + shown + " · <a id=\"csv\" href=\"/admin/reports.csv?" +
         EscapeHtml(FilterQuery(f)) +
         "\">导出 CSV</a></p><table id=\"reports\"><thead><tr><th>编号</th><th>上传时间 "
         "(UTC)</th><th>设备</th><th>序列号</th><th>总分</th><th>问题</th></tr></thead><tbody>" +
         rows + "</tbody></table></section>";
}

}  // namespace

const char* AdminStyleSheet() {
  return kStyle;
}

std::string LoginPageHtml(const std::string& message) {
  return Page(
      "登录 · 检测报告总览", "<h1>检测报告总览</h1>",
      "<section class=\"login\"><h2>登录</h2>" +
          (message.empty() ? std::string()
                           : "<p class=\"error\" id=\"message\">" + EscapeHtml(message) + "</p>") +
          "<form method=\"post\" action=\"/admin/login\">"
          "<label>用户名<input name=\"name\" autocomplete=\"username\" required></label>"
          "<label>密码<input name=\"password\" type=\"password\" "
          "autocomplete=\"current-password\" required></label>"
          "<button id=\"login\" type=\"submit\">登录</button></form></section>");
}

std::string OverviewPageHtml(const std::string& account, const ReportFilter& filter,
                             const Overview& overview) {
  return Page("检测报告总览",
              "<h1>检测报告总览</h1><span id=\"account\">" + EscapeHtml(account) +
                  "</span><form method=\"post\" action=\"/admin/logout\"><button id=\"logout\" "
                  "type=\"submit\">退出</button></form>",
              FilterForm(filter) + Charts(overview) + Table(filter, overview));
}

std::string AdminMessageHtml(const std::string& title, const std::string& message) {
  return Page(title, "<h1>" + EscapeHtml(title) + "</h1>",
              "<section><p class=\"error\" id=\"message\">" + EscapeHtml(message) +
                  "</p><p><a href=\"/admin\">返回总览</a></p></section>");
}

}  // namespace kestrel::server
