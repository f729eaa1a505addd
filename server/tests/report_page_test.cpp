// GET /reportDetail/<number>: the stored values on the page, escaping, and the missing page.
#include <gtest/gtest.h>
#include <json/json.h>

#include <fstream>
#include <iterator>

#include "report/report_page.h"
#include "server_harness.h"

namespace kestrel::server::test {
namespace {

constexpr const char* kJson = "application/json;charset=UTF-8";

std::string FullReport() {
  std::ifstream in(KESTREL_TESTDATA_DIR "/reports/full_report.json", std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

std::string Upload(RunningServer& s) {
  auto res = s.Http().Post("/report", FullReport(), kJson);
  Json::Value answer;
  Json::Reader().parse(res ? res->body : "", answer);
  return answer["data"].asString();
}

class ReportPageTest : public StoreTest {};

TEST_P(ReportPageTest, ThePageHoldsTheStoredValues) {
  RunningServer s(StoreOptions());
  const std::string number = Upload(s);
  ASSERT_EQ(number.size(), 12u);
  auto res = s.Http().Get("/reportDetail/" + number);
  ASSERT_TRUE(res);
  EXPECT_EQ(res->status, 200);
  EXPECT_EQ(res->get_header_value("Content-Type"), "text/html; charset=utf-8");
  for (const char* expected : {"<meta charset=\"utf-8\">",
                               "<b>109</b><span>总分</span>",
                               number.c_str(),
                               "LENOVO",
                               "PF2ABC12",
                               "Microsoft Windows 10 专业版",
                               "Intel(R) Core(TM) i5-9500 CPU @ 3.00GHz",
                               "3000 MHz</td><td class=\"s\">10 分",
                               "9216 KB",
                               "16384 MB</td><td class=\"s\">10 分",
                               "2666 MHz",
                               "46 %",
                               "SAMSUNG MZVLB256",
                               "244198 MB",
                               "1198065 MB",
                               "Intel(R) Wireless-AC 9560",
                               "无线",
                               "144 Mbps",
                               "82 %",
                               "<td>本机</td><td>192.168.1.1</td>",
                               "<td>114.114.114.114</td><td>12 ms</td>",
                               "<td>18 ms</td><td>1</td>",
                               "<th>默认网关</th><td>192.168.1.1</td>",
                               "<th>最短延迟</th><td>1 ms</td>",
                               "<th>平均延迟</th><td>2 ms</td><td class=\"s\">10 分",
                               "<th>最长延迟</th><td>4 ms</td>",
                               "3 台",
                               "192.168.1.40",
                               "11.8MB/s",
                               "6.2MB/s",
                               "9.7MB/s",
                               "100M",
                               "未优化"}) {
    EXPECT_NE(res->body.find(expected), std::string::npos) << expected;
  }
  ASSERT_EQ(
      s.Http().Put("/report", "{\"number\":\"" + number + "\",\"optimize\":1}", kJson)->status,
      200);
  EXPECT_NE(s.Http().Get("/reportDetail/" + number)->body.find("已完成一键优化"),
            std::string::npos);
}

TEST_P(ReportPageTest, EveryValueIsEscaped) {
  RunningServer s(StoreOptions());
  const std::string body = s.Http().Get("/reportDetail/" + Upload(s))->body;
  EXPECT_NE(body.find("ST1000DM010 &lt;b&gt;&amp;&lt;/b&gt;"), std::string::npos);
  EXPECT_EQ(body.find("<b>&</b>"), std::string::npos);
  const struct {
    const char* in;
    const char* out;
  } cases[] = {
      {"", ""}, {"a&b", "a&amp;b"}, {"<'\">", "&lt;&#39;&quot;&gt;"}, {"专业版", "专业版"}};
  for (const auto& c : cases) {
    EXPECT_EQ(EscapeHtml(c.in), c.out);
  }
  StoredReport hostile{"<n>",
                       "{\"Manufacturer\":\"<script>\",\"HardDiskInfo\":[{\"HardDiskName\":"
                       "\"\\\"x'\"}]}",
                       "<t>", ""};
  const std::string page = RenderReportPage(hostile);
  for (const char* raw : {"<script>", "<n>", "<t>", "\"x'"}) {
    EXPECT_EQ(page.find(raw), std::string::npos) << raw;
  }
}

TEST(ReportPageLogicTest, DocumentsOfAnyShapeRenderWithDashes) {
  for (const char* doc : {"", "not json", "[1,2]",
                          "{\"CPUName\":7,\"HardDiskInfo\":{},"
                          "\"DNSTestInfo\":[1,{\"LocalDNS\":3}]}"}) {
    const std::string page = RenderReportPage({"123456789012", doc, "", ""});
    EXPECT_NE(page.find("<b>0</b>"), std::string::npos) << doc;
    EXPECT_NE(page.find("—"), std::string::npos) << doc;
  }
}

TEST_P(ReportPageTest, UnknownAndMalformedNumbersGetTheChinese404Page) {
  RunningServer s(StoreOptions());
  const std::string known = Upload(s);
  const std::string paths[] = {"/reportDetail/123456789012",
                               "/reportDetail/012345678901",
                               "/reportDetail/12345",
                               "/reportDetail/" + known + "0",
                               "/reportDetail/abc",
                               "/reportDetail/",
                               "/reportDetail",
                               "/reportDetail/%3Cscript%3E",
                               "/reportDetail/" + known + "/x"};
  for (const std::string& path : paths) {
    auto res = s.Http().Get(path);
    ASSERT_TRUE(res) << path;
    EXPECT_EQ(res->status, 404) << path;
    EXPECT_EQ(res->get_header_value("Content-Type"), "text/html; charset=utf-8") << path;
    EXPECT_NE(res->body.find("未找到报告"), std::string::npos) << path;
    EXPECT_EQ(res->body.find("<script>"), std::string::npos) << path;
  }
}

KESTREL_BOTH_STORES(ReportPageTest);

}  // namespace
}  // namespace kestrel::server::test
