// The overview in headless Chromium over the fixture's HTTPS: the login (a wrong password
// first), the list, a filter, the charts and the export link, the cookie's flags, and a forged
// cookie or a hostile filter value that show nothing.
#include <gtest/gtest.h>
#include <json/json.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "web_driver.h"

namespace kestrel::server::test {
namespace {

using std::chrono::milliseconds;

constexpr const char* kJson = "application/json;charset=UTF-8";
constexpr const char* kAccount = "browser-it";
constexpr const char* kPassword = "a long test password";
// Stored in a device name the list must show as text.
constexpr const char* kMarkup = "<img src=x onerror=\"window.hit=1\">";

// The account, made with the server's own command on the fixture's data folder.
bool MakeAccount() {
  const char* bin = std::getenv("KESTREL_SERVER_BINARY");
  const char* dir = std::getenv("KESTREL_SERVER_DIR");
  if (!bin || !dir) {
    return false;
  }
  const std::string command =
      std::string(bin) + " --data " + dir + " --add-admin " + kAccount + " 2>/dev/null";
  FILE* pipe = popen(command.c_str(), "w");
  if (!pipe) {
    return false;
  }
  std::fputs((std::string(kPassword) + "\n").c_str(), pipe);
  return pclose(pipe) == 0;
}

// The sample report with a model of its own and the given download score.
std::string Store(const std::string& model, int downloadScore) {
  std::ifstream in(KESTREL_TESTDATA_DIR "/reports/full_report.json", std::ios::binary);
  Json::Value doc;
  Json::Reader().parse(std::string(std::istreambuf_iterator<char>(in), {}), doc);
  doc["HostTypeName"] = model;
  doc["DownloadSpeedScore"] = downloadScore;
  Json::StreamWriterBuilder w;
  w["indentation"] = "";
  w["emitUTF8"] = true;
  httplib::Client http(ServerAddress());
  auto res = http.Post("/report", Json::writeString(w, doc), kJson);
  Json::Value answer;
  Json::Reader().parse(res ? res->body : "", answer);
  return answer["data"].asString();
}

// Each listed row's cells, joined by "|".
constexpr const char* kRowsScript =
    "return Array.from(document.querySelectorAll('#reports tbody tr')).map(r =>"
    "  Array.from(r.cells).map(c => c.innerText.trim()).join('|'));";

// What the charts drew, what could run, and whether the page's sheet applies.
constexpr const char* kPageScript =
    "return {scoreBars: document.querySelectorAll('#score-chart svg rect').length,"
    " problemBars: document.querySelectorAll('#problem-chart svg rect').length,"
    " problemLabels: Array.from(document.querySelectorAll('#problem-chart svg text'))"
    "   .map(t => t.textContent),"
    " active: document.scripts.length + Array.from(document.querySelectorAll('*')).filter(e =>"
    "   Array.from(e.attributes).some(a => a.name.startsWith('on'))).length,"
    " hit: window.hit === 1,"
    " styled: getComputedStyle(document.querySelector('header')).color === 'rgb(255, 255, 255)',"
    " csv: document.querySelector('#csv') ? document.querySelector('#csv').href : ''};";

class AdminBrowserTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(MakeAccount());
    std::string error;
    ASSERT_TRUE(browser_.Start(error)) << error;
  }
  bool LogIn(const std::string& password) {
    return browser_.Open(SecureServerAddress() + "/admin") &&
           browser_.WaitDisplayed("#login", milliseconds(10000)) &&
           browser_.Type(browser_.Find("input[name=name]"), kAccount) &&
           browser_.Type(browser_.Find("input[name=password]"), password) &&
           browser_.Click(browser_.Find("#login"));
  }
  Json::Value SessionCookie() {
    for (const Json::Value& c : browser_.Cookies()) {
      if (c["name"].asString() == "kestrel_admin") {
        return c;
      }
    }
    return Json::Value();
  }

  WebDriver browser_;
};

TEST_F(AdminBrowserTest, AWrongPasswordShowsNothingAndTheRightOneTheFilteredList) {
  const std::string slow = Store(kMarkup, 10);
  const std::string fast = Store("Fast PC", 65);
  ASSERT_FALSE(slow.empty());
  ASSERT_FALSE(fast.empty());

  ASSERT_TRUE(LogIn("not the password"));
  ASSERT_TRUE(browser_.WaitDisplayed("#message", milliseconds(10000)));
  EXPECT_EQ(browser_.Text(browser_.Find("#message")), "用户名或密码错误。");
  EXPECT_EQ(browser_.Find("#reports"), "");
  EXPECT_TRUE(SessionCookie().isNull());

  ASSERT_TRUE(LogIn(kPassword));
  ASSERT_TRUE(browser_.WaitDisplayed("#reports", milliseconds(15000)));
  const Json::Value cookie = SessionCookie();
  ASSERT_FALSE(cookie.isNull());
  EXPECT_TRUE(cookie["httpOnly"].asBool());
  EXPECT_TRUE(cookie["secure"].asBool());
  EXPECT_EQ(cookie["sameSite"].asString(), "Strict");

  Json::Value page = browser_.Script(kPageScript);
  EXPECT_TRUE(page["styled"].asBool());
  EXPECT_EQ(page["active"].asInt(), 0);
  EXPECT_FALSE(page["hit"].asBool());
  EXPECT_EQ(page["scoreBars"].asInt(), 10);
  EXPECT_GE(page["problemBars"].asInt(), 1);
  bool slowListed = false;
  for (const Json::Value& row : browser_.Script(kRowsScript)) {
    slowListed = slowListed || row.asString().find(slow + "|") == 0;
  }
  EXPECT_TRUE(slowListed);

  // Only the reports with too little bandwidth.
  ASSERT_TRUE(browser_
                  .Script("document.querySelector('select[name=problem]').value = "
                          "'bandwidth'; return 0;")
                  .isInt());
  ASSERT_TRUE(browser_.Click(browser_.Find("#apply")));
  ASSERT_TRUE(browser_.WaitDisplayed("#reports", milliseconds(15000)));
  EXPECT_NE(browser_.Url().find("problem=bandwidth"), std::string::npos) << browser_.Url();
  const Json::Value rows = browser_.Script(kRowsScript);
  ASSERT_GE(rows.size(), 1u);
  bool slowShown = false;
  for (const Json::Value& row : rows) {
    EXPECT_NE(row.asString().find("不符合网课带宽最低要求"), std::string::npos) << row;
    EXPECT_EQ(row.asString().find(fast), std::string::npos) << row;
    slowShown = slowShown || row.asString().find(std::string(kMarkup)) != std::string::npos;
  }
  EXPECT_TRUE(slowShown);
  page = browser_.Script(kPageScript);
  EXPECT_FALSE(page["hit"].asBool());
  EXPECT_NE(page["csv"].asString().find("/admin/reports.csv?"), std::string::npos);
  EXPECT_NE(page["csv"].asString().find("problem=bandwidth"), std::string::npos);

  // The export under the browser's session: the same reports, the markup as text.
  httplib::SSLClient https(
      "127.0.0.1", std::stoi(SecureServerAddress().substr(SecureServerAddress().rfind(':') + 1)));
  https.enable_server_certificate_verification(false);
  const std::string csvPath = page["csv"].asString().substr(page["csv"].asString().find("/admin"));
  auto csv = https.Get(csvPath, {{"Cookie", "kestrel_admin=" + cookie["value"].asString()}});
  ASSERT_TRUE(csv);
  EXPECT_EQ(csv->status, 200);
  EXPECT_NE(csv->body.find(slow), std::string::npos);
  EXPECT_EQ(csv->body.find(fast), std::string::npos);

  // A report's page from the list is the pupil's page.
  ASSERT_TRUE(browser_.Click(browser_.Find("#reports tbody a[href='/reportDetail/" + slow + "']")));
  ASSERT_TRUE(browser_.WaitDisplayed("header .meta", milliseconds(15000)));
  EXPECT_NE(browser_.Text(browser_.Find("header .meta")).find(slow), std::string::npos);
}

TEST_F(AdminBrowserTest, AForgedCookieAndAHostileFilterShowNothing) {
  ASSERT_TRUE(browser_.Open(SecureServerAddress() + "/admin/login"));
  ASSERT_TRUE(browser_.AddCookie("kestrel_admin", std::string(64, 'a'), "/admin"));
  ASSERT_TRUE(browser_.Open(SecureServerAddress() + "/admin"));
  ASSERT_TRUE(browser_.WaitDisplayed("#login", milliseconds(10000)));
  EXPECT_EQ(browser_.Find("#reports"), "");

  ASSERT_TRUE(browser_.DeleteCookies());
  ASSERT_TRUE(LogIn(kPassword));
  ASSERT_TRUE(browser_.WaitDisplayed("#reports", milliseconds(15000)));
  for (const char* query : {"?to=%3Cimg%20src%3Dx%20onerror%3D%22window.hit%3D1%22%3E",
                            "?problem=cpu%27%20OR%20%271%27%3D%271", "?min=-1"}) {
    ASSERT_TRUE(browser_.Open(SecureServerAddress() + "/admin" + query));
    ASSERT_TRUE(browser_.WaitDisplayed("#message", milliseconds(10000))) << query;
    EXPECT_EQ(browser_.Find("#reports"), "") << query;
    const Json::Value page = browser_.Script(kPageScript);
    EXPECT_EQ(page["active"].asInt(), 0) << query;
    EXPECT_FALSE(page["hit"].asBool()) << query;
  }
}

}  // namespace
}  // namespace kestrel::server::test
