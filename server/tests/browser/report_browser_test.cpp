// The report page in headless Chromium over the fixture's HTTPS: what a reader sees of a stored
// report, card by card, at desktop and phone widths, and the page of an unknown number.
#include <gtest/gtest.h>
#include <json/json.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "web_driver.h"

namespace kestrel::server::test {
namespace {

constexpr const char* kJson = "application/json;charset=UTF-8";
// Stored in a value the page must show as text, never as markup.
constexpr const char* kMarkup = "ThinkCentre <b>\"M720\"</b> & 'x'";

// Every card as the reader sees it: its title, its text, and each table row with its cells'
// text joined by "|".
constexpr const char* kCardsScript =
    "return Array.from(document.querySelectorAll('section')).map(s => ({"
    "title: s.querySelector('h2').innerText, text: s.innerText,"
    "rows: Array.from(s.querySelectorAll('tr')).map(r =>"
    "  Array.from(r.cells).map(c => c.innerText.trim()).join('|'))}));";

// Whether anything on the page could run: scripts, handlers, javascript: links.
constexpr const char* kActiveScript =
    "return document.scripts.length + Array.from(document.querySelectorAll('*')).filter(e =>"
    "  Array.from(e.attributes).some(a => a.name.startsWith('on') ||"
    "    /^\\s*javascript:/i.test(a.value))).length;";

// Horizontal scrolling of the page and of any card; the viewport's width first.
constexpr const char* kWidthScript =
    "return [window.innerWidth, document.documentElement.scrollWidth,"
    "  Math.max(0, ...Array.from(document.querySelectorAll('section')).map(s =>"
    "    s.scrollWidth - s.clientWidth))];";

// The sample report with a hostile model name, stored over the plain port.
std::string Store() {
  std::ifstream in(KESTREL_TESTDATA_DIR "/reports/full_report.json", std::ios::binary);
  Json::Value doc;
  Json::Reader().parse(std::string(std::istreambuf_iterator<char>(in), {}), doc);
  doc["HostTypeName"] = kMarkup;
  Json::StreamWriterBuilder w;
  w["indentation"] = "";
  w["emitUTF8"] = true;
  httplib::Client http(ServerAddress());
  auto res = http.Post("/report", Json::writeString(w, doc), kJson);
  Json::Value answer;
  Json::Reader().parse(res ? res->body : "", answer);
  return answer["data"].asString();
}

// The page's own style sheet applied (its header's text is white), and a script put into the page
// inline is blocked by its policy.
constexpr const char* kPolicyScript =
    "var s = document.createElement('script');"
    "s.textContent = 'window.inlineRan = 1;';"
    "document.head.appendChild(s);"
    "return {styled: getComputedStyle(document.querySelector('header')).color"
    "                === 'rgb(255, 255, 255)',"
    "        inlineRan: window.inlineRan === 1};";

struct Card {
  std::string text;
  std::vector<std::string> rows;
};

class ReportBrowserTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(browser_.Start(error)) << error;
  }

  bool OpenReport(const std::string& number) {
    return browser_.Open(SecureServerAddress() + "/reportDetail/" + number);
  }

  // The card titled `title`; empty when the page has none.
  Card CardTitled(const std::string& title) {
    for (const Json::Value& c : browser_.Script(kCardsScript)) {
      if (c["title"].asString() == title) {
        Card card{c["text"].asString(), {}};
        for (const Json::Value& row : c["rows"]) {
          card.rows.push_back(row.asString());
        }
        return card;
      }
    }
    return {};
  }

  WebDriver browser_;
};

TEST_F(ReportBrowserTest, EveryCardShowsTheStoredValues) {
  const std::string number = Store();
  ASSERT_EQ(number.size(), 12u);
  ASSERT_TRUE(OpenReport(number));
  EXPECT_EQ(browser_.Text(browser_.Find("header .total b")), "109");
  EXPECT_NE(browser_.Text(browser_.Find("header .meta")).find("报告编号 " + number),
            std::string::npos);
  const struct {
    const char* title;
    std::vector<std::string> rows;
  } cases[] = {
      {"各项得分",
       {"CPU||38 分", "内存||25 分", "硬盘||18 分", "主机到路由器延迟||10 分",
        "局域网设备数量||8 分", "下载速度||10 分"}},
      {"主机与系统",
       {"制造商|LENOVO|", "序列号|PF2ABC12|", std::string("型号|") + kMarkup + "|",
        "操作系统|Microsoft Windows 10 专业版|", "系统版本|10.0.19045|", "系统主版本号|10|",
        "麦克风|正常|", "摄像头|正常|"}},
      {"CPU",
       {"型号|Intel(R) Core(TM) i5-9500 CPU @ 3.00GHz|", "最高主频|3000 MHz|10 分",
        "核心数|6|10 分", "逻辑处理器|6|8 分", "二级缓存|1536 KB|5 分", "三级缓存|9216 KB|5 分",
        "使用率|12 %|"}},
      {"内存",
       {"总容量|16384 MB|10 分", "频率|2666 MHz|5 分", "占用率|46 %|5 分", "内存条数|2|5 分"}},
      {"硬盘",
       {"硬盘 1|SAMSUNG MZVLB256\n244198 MB|", "硬盘 2|ST1000DM010 <b>&</b>\n953867 MB|",
        "总容量|1198065 MB|10 分", "读写速度||8 分", "系统盘容量|243198 MB|",
        "系统盘剩余|120455 MB|10 分"}},
      {"网卡",
       {"名称|类型|速率|信号", "Intel(R) Ethernet Connection (7) I219-V|有线|1000 Mbps|0 %",
        "Intel(R) Wireless-AC 9560|无线|144 Mbps|82 %"}},
      {"DNS 对比",
       {"|DNS 服务器|最短|最长|平均|丢包", "本机|192.168.1.1|3 ms|9 ms|5 ms|0",
        "测试|223.5.5.5|8 ms|15 ms|10 ms|0", "测试|114.114.114.114|12 ms|30 ms|18 ms|1"}},
      {"主机到路由器延迟",
       {"本机地址|192.168.1.23|", "默认网关|192.168.1.1|", "最短延迟|1 ms|", "平均延迟|2 ms|10 分",
        "最长延迟|4 ms|", "丢包|0|"}},
      {"局域网设备",
       {"设备数量|3 台|8 分", "地址|192.168.1.1|", "地址|192.168.1.7|", "地址|192.168.1.40|"}},
      {"网速",
       {"最大下载速度|11.8MB/s|", "最小下载速度|6.2MB/s|", "平均下载速度|9.7MB/s|",
        "带宽|100M|10 分"}},
  };
  for (const auto& c : cases) {
    const Card card = CardTitled(c.title);
    ASSERT_FALSE(card.text.empty()) << c.title;
    for (const std::string& row : c.rows) {
      EXPECT_NE(std::find(card.rows.begin(), card.rows.end(), row), card.rows.end())
          << c.title << ": " << row;
    }
  }
  EXPECT_NE(
      CardTitled("DNS 对比").text.find("Intel(R) Ethernet Connection (7) I219-V（192.168.1.23）"),
      std::string::npos);
  EXPECT_NE(CardTitled("局域网设备").text.find("Intel(R) Ethernet Connection (7) I219-V"),
            std::string::npos);
  // The stored markup made no element of its own, and nothing on the page runs.
  EXPECT_EQ(browser_.Script("return document.querySelectorAll('main b').length;").asInt(), 0);
  EXPECT_EQ(browser_.Script(kActiveScript).asInt(), 0);

  // The optimisation state is the one last reported.
  EXPECT_EQ(browser_.Text(browser_.Find("section .state")), "未优化");
  httplib::Client http(ServerAddress());
  ASSERT_EQ(http.Put("/report", "{\"number\":\"" + number + "\",\"optimize\":1}", kJson)->status,
            200);
  ASSERT_TRUE(OpenReport(number));
  EXPECT_EQ(browser_.Text(browser_.Find("section .state")), "已完成一键优化");
}

TEST_F(ReportBrowserTest, AnUnknownNumberGetsTheMissingPage) {
  const struct {
    const char* path;
    const char* shown;  // the number as the page repeats it
  } cases[] = {
      {"123456789012", "123456789012"},
      {"12345", "12345"},
      {"%3Cb%3E%22x%22%3C%2Fb%3E", "<b>\"x\"</b>"},
  };
  httplib::Client http(ServerAddress());
  for (const auto& c : cases) {
    EXPECT_EQ(http.Get(std::string("/reportDetail/") + c.path)->status, 404) << c.path;
    ASSERT_TRUE(OpenReport(c.path));
    EXPECT_EQ(browser_.Text(browser_.Find("h1")), "未找到报告") << c.path;
    EXPECT_EQ(browser_.Text(browser_.Find("main p")),
              std::string("没有编号为“") + c.shown +
                  "”的检测报告。报告编号是 12 位数字，请检查链接是否完整。")
        << c.path;
    EXPECT_EQ(browser_.Script("return document.querySelectorAll('main b').length;").asInt(), 0);
    EXPECT_EQ(browser_.Script(kActiveScript).asInt(), 0) << c.path;
  }
}

TEST_F(ReportBrowserTest, NothingScrollsSidewaysFromPhoneToDesktop) {
  const std::string number = Store();
  ASSERT_EQ(number.size(), 12u);
  const struct {
    int width;
    int height;
  } windows[] = {{390, 844}, {360, 740}, {768, 1024}, {1280, 900}};
  for (const auto& w : windows) {
    ASSERT_TRUE(browser_.SetWindowSize(w.width, w.height));
    for (const std::string& page : {number, std::string("123456789012")}) {
      ASSERT_TRUE(OpenReport(page));
      const Json::Value widths = browser_.Script(kWidthScript);
      ASSERT_EQ(widths.size(), 3u);
      EXPECT_EQ(widths[0].asInt(), w.width) << page;
      EXPECT_LE(widths[1].asInt(), widths[0].asInt()) << w.width << " " << page;
      EXPECT_EQ(widths[2].asInt(), 0) << w.width << " " << page;
    }
  }
}

TEST_F(ReportBrowserTest, TheReportPageIsStyledUnderItsPolicyWhichBlocksInlineScript) {
  const std::string number = Store();
  for (const std::string& n : {number, std::string("000000000000")}) {
    ASSERT_TRUE(OpenReport(n)) << n;
    const Json::Value seen = browser_.Script(kPolicyScript);
    EXPECT_TRUE(seen["styled"].asBool()) << n;
    EXPECT_FALSE(seen["inlineRan"].asBool()) << n;
  }
}

}  // namespace
}  // namespace kestrel::server::test
