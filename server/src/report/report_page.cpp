#include "report/report_page.h"

#include <json/json.h>

#include <memory>

#include "core/context.h"
#include "core/html_text.h"
#include "core/report_summary.h"

namespace kestrel::server {
namespace {

constexpr const char* kDash = "—";

// One accent colour; cards flow into as many columns as the screen holds, the wide ones take
// two where there is room, and nothing is wider than a phone's screen.
constexpr const char* kStyle =
    "*{box-sizing:border-box}"
    "body{margin:0;font-family:-apple-system,'PingFang SC','Microsoft YaHei','Noto Sans CJK SC',"
    "sans-serif;background:#f2f5f9;color:#1f2933;line-height:1.5}"
    "header{background:#1565c0;color:#fff;padding:24px 16px;text-align:center}"
    "header h1{margin:0;font-size:22px;font-weight:600}"
    "header .meta{opacity:.85;font-size:13px;margin-top:4px;overflow-wrap:anywhere}"
    ".total{display:inline-block;margin-top:16px;background:#fff;color:#1565c0;border-radius:50%;"
    "width:132px;height:132px;padding-top:28px}"
    ".total b{display:block;font-size:48px;line-height:1.1}"
    ".total span{font-size:13px;color:#52606d}"
    "main{max-width:1200px;margin:0 auto;padding:16px;display:grid;gap:16px;"
    "grid-template-columns:repeat(auto-fill,minmax(min(340px,100%),1fr));grid-auto-flow:dense}"
    "section{background:#fff;border-radius:10px;padding:16px;box-shadow:0 1px 3px rgba(0,0,0,.08);"
    "min-width:0;overflow-x:auto}"
    "section h2{margin:0 0 10px;font-size:17px;color:#1565c0;border-left:4px solid #1565c0;"
    "padding-left:8px}"
    "h3{font-size:14px;margin:14px 0 4px;overflow-wrap:anywhere}"
    "h2+h3{margin-top:0}"
    "table{width:100%;border-collapse:collapse;font-size:14px}"
    "th,td{padding:6px 4px;border-bottom:1px solid #e4e7eb;text-align:left;vertical-align:top}"
    "th{color:#52606d;font-weight:normal;white-space:nowrap;width:7em}"
    "td{overflow-wrap:anywhere}"
    "td.s{text-align:right;color:#1565c0;font-weight:600;white-space:nowrap;width:4em}"
    "table.list th{width:auto}"
    "table.list td+td{white-space:nowrap}"
    ".sub{color:#52606d;font-size:13px}"
    ".none{color:#9aa5b1}"
    ".state{font-size:16px;font-weight:600;color:#1565c0;margin:0}"
    "@media(min-width:760px){section.wide{grid-column:span 2}}"
    "@media(max-width:480px){main{padding:10px;gap:10px}section{padding:12px}"
    "th,td{padding:6px 3px}header h1{font-size:20px}}";

// Members of a value that may be of any type: a wrong type reads as absent.
const Json::Value& Member(const Json::Value& v, const char* key) {
  static const Json::Value kNull;
  return v.isObject() && v.isMember(key) ? v[key] : kNull;
}

std::string Plain(const Json::Value& v) {
  if (v.isString()) {
    return v.asString();
  }
  if (v.isIntegral()) {
    return v.isUInt64() ? std::to_string(v.asUInt64()) : std::to_string(v.asInt64());
  }
  return kDash;
}

Json::Int64 Number(const Json::Value& v) {
  return v.isInt64() ? v.asInt64() : 0;
}

// A value with its unit, escaped; a missing value shows only the dash.
std::string Cell(const Json::Value& v, const char* unit = "") {
  const std::string text = Plain(v);
  if (text == kDash) {
    return kDash;
  }
  return EscapeHtml(text) + (*unit ? std::string(" ") + unit : "");
}

std::string Row(const char* label, const std::string& cell, const std::string& score = "") {
  return std::string("<tr><th>") + label + "</th><td>" + cell + "</td><td class=\"s\">" + score +
         "</td></tr>";
}

struct Field {
  const char* label;
  const char* key;
  const char* unit;
  const char* scoreKey;  // "" when the value has no score of its own
};

// A field without a key of its own shows only its score.
std::string FieldRows(const Json::Value& doc, std::initializer_list<Field> fields) {
  std::string out;
  for (const Field& f : fields) {
    out += Row(f.label, *f.key ? Cell(Member(doc, f.key), f.unit) : "",
               *f.scoreKey ? Cell(Member(doc, f.scoreKey), "分") : "");
  }
  return out;
}

std::string Fields(const Json::Value& doc, std::initializer_list<Field> fields) {
  return "<table>" + FieldRows(doc, fields) + "</table>";
}

std::string Card(const char* title, const std::string& body, bool wide = false) {
  return std::string(wide ? "<section class=\"wide\"><h2>" : "<section><h2>") + title + "</h2>" +
         body + "</section>";
}

const char* const kNone = "<p class=\"none\">无</p>";

std::string Header(std::initializer_list<const char*> names) {
  std::string out = "<tr>";
  for (const char* n : names) {
    out += std::string("<th>") + n + "</th>";
  }
  return out + "</tr>";
}

std::string Cells(const Json::Value& item, std::initializer_list<Field> fields,
                  const std::string& lead = "") {
  std::string out = "<tr>" + lead;
  for (const Field& f : fields) {
    out += "<td>" + Cell(Member(item, f.key), f.unit) + "</td>";
  }
  return out + "</tr>";
}

// A list member as a table, one row per object; an empty list says so.
std::string List(const Json::Value& items, std::initializer_list<const char*> heads,
                 std::initializer_list<Field> fields) {
  if (!items.isArray() || items.empty()) {
    return kNone;
  }
  std::string out = "<table class=\"list\">" + Header(heads);
  for (const Json::Value& item : items) {
    out += Cells(item, fields);
  }
  return out + "</table>";
}

const char* DeviceState(const Json::Value& v) {
  switch (Number(v)) {
    case 0:
      return "未检测";
    case 1:
      return "正常";
    case 2:
      return "异常";
    default:
      return "未知";
  }
}

std::string Sum(const Json::Value& doc, std::initializer_list<const char*> keys) {
  Json::Int64 sum = 0;
  for (const char* k : keys) {
    sum += Number(Member(doc, k));
  }
  return std::to_string(sum) + " 分";
}

std::string ListSum(const Json::Value& items, const char* key) {
  Json::Int64 sum = 0;
  for (Json::ArrayIndex i = 0; items.isArray() && i < items.size(); ++i) {
    sum += Number(Member(items[i], key));
  }
  return std::to_string(sum) + " 分";
}

std::string ScoresCard(const Json::Value& doc) {
  return Card("各项得分",
              "<table>" +
                  Row("CPU", "",
                      Sum(doc, {"MaxClockSpeedScore", "NumberOfCoresScore",
                                "NumberOfLogicalProcessorsScore", "L2CacheSizeScore",
                                "L3CacheSizeScore"})) +
                  Row("内存", "",
                      Sum(doc, {"MemorySumSizeScore", "SpeedScore", "MemoryOccupancyScore",
                                "MemoryNumberScore"})) +
                  Row("硬盘", "", Sum(doc, {"HardDiskSizeScore", "HardDiskSpeedScore"})) +
                  Row("主机到路由器延迟", "",
                      ListSum(Member(doc, "HostToRouterDelayInfo"), "HostToRouterScore")) +
                  Row("局域网设备数量", "",
                      ListSum(Member(doc, "NumberLanDevicesInfo"), "NumberLanDevicesScore")) +
                  Row("下载速度", "", Sum(doc, {"DownloadSpeedScore"})) + "</table>");
}

std::string HostCard(const Json::Value& doc) {
  return Card("主机与系统",
              "<table>" +
                  FieldRows(doc, {{"制造商", "Manufacturer", "", ""},
                                  {"序列号", "SerialNumber", "", ""},
                                  {"型号", "HostTypeName", "", ""},
                                  {"操作系统", "SystName", "", ""},
                                  {"系统版本", "SystemVersion", "", ""},
                                  {"系统主版本号", "CurSystemVersionNumber", "", ""}}) +
                  Row("麦克风", DeviceState(Member(doc, "MicrophoneState"))) +
                  Row("摄像头", DeviceState(Member(doc, "CameraState"))) + "</table>");
}

std::string CpuCard(const Json::Value& doc) {
  return Card("CPU", Fields(doc, {{"型号", "CPUName", "", ""},
                                  {"最高主频", "MaxClockSpeed", "MHz", "MaxClockSpeedScore"},
                                  {"核心数", "NumberOfCores", "", "NumberOfCoresScore"},
                                  {"逻辑处理器", "NumberOfLogicalProcessors", "",
                                   "NumberOfLogicalProcessorsScore"},
                                  {"二级缓存", "L2CacheSize", "KB", "L2CacheSizeScore"},
                                  {"三级缓存", "L3CacheSize", "KB", "L3CacheSizeScore"},
                                  {"使用率", "CPUUtilization", "%", ""}}));
}

std::string MemoryCard(const Json::Value& doc) {
  return Card("内存", Fields(doc, {{"总容量", "MemorySumSize", "MB", "MemorySumSizeScore"},
                                   {"频率", "Speed", "MHz", "SpeedScore"},
                                   {"占用率", "MemoryOccupancy", "%", "MemoryOccupancyScore"},
                                   {"内存条数", "MemoryNumber", "", "MemoryNumberScore"}}));
}

// Each disk is one row of the card's table, its size under its name.
std::string DiskCard(const Json::Value& doc) {
  const Json::Value& disks = Member(doc, "HardDiskInfo");
  std::string rows;
  for (Json::ArrayIndex i = 0; disks.isArray() && i < disks.size(); ++i) {
    rows += Row(("硬盘 " + std::to_string(i + 1)).c_str(),
                Cell(Member(disks[i], "HardDiskName")) + "<div class=\"sub\">" +
                    Cell(Member(disks[i], "description"), "MB") + "</div>");
  }
  if (rows.empty()) {
    rows = Row("硬盘", "<span class=\"none\">无</span>");
  }
  return Card("硬盘", "<table>" + rows +
                          FieldRows(doc, {{"总容量", "HardDiskSumSize", "MB", "HardDiskSizeScore"},
                                          {"读写速度", "", "", "HardDiskSpeedScore"},
                                          {"系统盘容量", "SystemDiskSize", "MB", ""},
                                          {"系统盘剩余", "SystemDiskRemainingSpace", "MB",
                                           "SystemDiskRemainingSpaceScore"}}) +
                          "</table>");
}

std::string AdapterCard(const Json::Value& doc) {
  return Card("网卡", List(Member(doc, "NetworkCardInfo"), {"名称", "类型", "速率", "信号"},
                           {{"", "NetworkCardName", "", ""},
                            {"", "NetworkCardType", "", ""},
                            {"", "NetworkCardSpeed", "Mbps", ""},
                            {"", "SignalValue", "%", ""}}));
}

std::string DnsCard(const Json::Value& doc) {
  const Json::Value& entries = Member(doc, "DNSTestInfo");
  if (!entries.isArray() || entries.empty()) {
    return Card("DNS 对比", kNone, true);
  }
  std::string body;
  for (const Json::Value& e : entries) {
    body += "<h3>" + Cell(Member(e, "NetworkCardName")) + "（" + Cell(Member(e, "IPAddress")) +
            "）</h3><table class=\"list\">" +
            Header({"", "DNS 服务器", "最短", "最长", "平均", "丢包"});
    for (const auto& [list, label] :
         {std::pair{"LocalDNS", "本机"}, std::pair{"TestDNS", "测试"}}) {
      const Json::Value& servers = Member(e, list);
      for (Json::ArrayIndex i = 0; servers.isArray() && i < servers.size(); ++i) {
        body += Cells(servers[i],
                      {{"", "DNSAddress", "", ""},
                       {"", "Minimum", "ms", ""},
                       {"", "Maximum", "ms", ""},
                       {"", "Average", "ms", ""},
                       {"", "Lost", "", ""}},
                      std::string("<td>") + label + "</td>");
      }
    }
    body += "</table>";
  }
  return Card("DNS 对比", body, true);
}

// One block per adapter: a row of eight columns would not fit a phone.
std::string RouterCard(const Json::Value& doc) {
  const Json::Value& entries = Member(doc, "HostToRouterDelayInfo");
  if (!entries.isArray() || entries.empty()) {
    return Card("主机到路由器延迟", kNone);
  }
  std::string body;
  for (const Json::Value& e : entries) {
    body += "<h3>" + Cell(Member(e, "NetworkCardName")) + "</h3><table>" +
            FieldRows(e, {{"本机地址", "IPAddress", "", ""},
                          {"默认网关", "DefaultIPGateway", "", ""},
                          {"最短延迟", "Minimum", "ms", ""},
                          {"平均延迟", "iAverage", "ms", "HostToRouterScore"},
                          {"最长延迟", "iMaximum", "ms", ""},
                          {"丢包", "Lost", "", ""}}) +
            "</table>";
  }
  return Card("主机到路由器延迟", body);
}

std::string LanCard(const Json::Value& doc) {
  const Json::Value& entries = Member(doc, "NumberLanDevicesInfo");
  if (!entries.isArray() || entries.empty()) {
    return Card("局域网设备", kNone);
  }
  std::string body;
  for (const Json::Value& e : entries) {
    const Json::Value& addresses = Member(e, "LanEquipmentDevicesAddress");
    const Json::ArrayIndex count = addresses.isArray() ? addresses.size() : 0;
    body += "<h3>" + Cell(Member(e, "NetworkCardName")) + "</h3><table>" +
            Row("设备数量", std::to_string(count) + " 台",
                Cell(Member(e, "NumberLanDevicesScore"), "分"));
    for (Json::ArrayIndex i = 0; i < count; ++i) {
      body += Row("地址", Cell(Member(addresses[i], "DevicesAddress")));
    }
    body += "</table>";
  }
  return Card("局域网设备", body);
}

std::string SpeedCard(const Json::Value& doc) {
  return Card("网速", Fields(doc, {{"最大下载速度", "MaxDownloadSpeed", "", ""},
                                   {"最小下载速度", "MinDownloadSpeed", "", ""},
                                   {"平均下载速度", "AvgDownloadSpeed", "", ""},
                                   {"带宽", "BandwidthSpeed", "", "DownloadSpeedScore"}}));
}

// The table's state is the later word: it is set when the program reports its optimisation.
std::string OptimiseCard(const Json::Value& doc, const StoredReport& report) {
  const bool done =
      report.optimize.empty() ? Number(Member(doc, "Optimize")) != 0 : report.optimize == "1";
  return Card("DNS 优化",
              std::string("<p class=\"state\">") + (done ? "已完成一键优化" : "未优化") + "</p>");
}

std::string Page(const std::string& title, const std::string& header, const std::string& main) {
  return "<!DOCTYPE html><html lang=\"zh-CN\"><head><meta charset=\"utf-8\">"
         "<meta name=\"viewport\" content=\"width=device-width,initial-scale=1\"><title>" +
         title + "</title><link rel=\"stylesheet\" href=\"" + kReportStylePath +
         "\"></head><body><header>" + header + "</header>" + main + "</body></html>";
}

}  // namespace

const char* ReportStyleSheet() {
  return kStyle;
}

std::string RenderReportPage(const StoredReport& report) {
  Json::CharReaderBuilder builder;
  const std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
  Json::Value doc;
  std::string errors;
  if (!reader->parse(report.document.data(), report.document.data() + report.document.size(), &doc,
                     &errors)) {
    doc = Json::Value();
  }
  const std::string number = EscapeHtml(report.number);
  const std::string header = "<h1>电脑网课环境检测报告</h1><div class=\"meta\">报告编号 " + number +
                             " · 上传时间 " + EscapeHtml(report.received) +
                             "</div><div class=\"total\"><b>" + std::to_string(TotalScore(doc)) +
                             "</b><span>总分</span></div>";
  const std::string main = "<main>" + ScoresCard(doc) + HostCard(doc) + CpuCard(doc) +
                           MemoryCard(doc) + DiskCard(doc) + AdapterCard(doc) + DnsCard(doc) +
                           RouterCard(doc) + LanCard(doc) + SpeedCard(doc) +
                           OptimiseCard(doc, report) + "</main>";
  return Page("检测报告 " + number, header, main);
}

std::string RenderMissingReportPage(const std::string& number) {
  return Page("未找到报告", "<h1>未找到报告</h1>",
              "<main><section><h2>404</h2><p>没有编号为“" + EscapeHtml(number) +
                  "”的检测报告。报告编号是 12 位数字，请检查链接是否完整。</p></section></main>");
}

std::string RenderUnavailablePage() {
  return Page("暂时无法查看", "<h1>暂时无法查看报告</h1>",
              "<main><section><h2>503</h2><p>报告服务暂时不可用，请稍后刷新本页。</p></section>"
              "</main>");
}

PageAnswer ReportPageFor(ServerContext& ctx, const std::string& number) {
  if (IsReportNumber(number) && ctx.db) {
    std::string error;
    if (const auto report = FindReport(*ctx.db, number, &error)) {
      return {200, RenderReportPage(*report)};
    }
    if (!error.empty()) {
      return {503, RenderUnavailablePage()};
    }
  }
  return {404, RenderMissingReportPage(number)};
}

}  // namespace kestrel::server
