// /admin through a real listener on both stores: the login and its limit, sessions that a
// missing, forged or ended cookie does not open, the filters, the charts and the export, and
// hostile values that show and change nothing.
#include <gtest/gtest.h>
#include <json/json.h>

#include <fstream>
#include <iterator>

#include "server_harness.h"
#include "store/admin_tables.h"
#include "store/password.h"

namespace kestrel::server::test {
namespace {

constexpr const char* kJson = "application/json;charset=UTF-8";
constexpr const char* kForm = "application/x-www-form-urlencoded";
constexpr const char* kPassword = "correct horse battery";
// Few rounds keep the test quick; an unknown account still costs the full count.
constexpr int kTestIterations = 1000;

std::string Report(int downloadScore, const std::string& model) {
  std::ifstream in(KESTREL_TESTDATA_DIR "/reports/full_report.json", std::ios::binary);
  Json::Value doc;
  Json::Reader().parse(std::string(std::istreambuf_iterator<char>(in), {}), doc);
  doc["DownloadSpeedScore"] = downloadScore;
  doc["Manufacturer"] = model;
  Json::StreamWriterBuilder w;
  w["indentation"] = "";
  w["emitUTF8"] = true;
  return Json::writeString(w, doc);
}

class AdminRoutesTest : public StoreTest {
 protected:
  void SetUp() override {
    server_ = std::make_unique<RunningServer>(StoreOptions());
    std::string error;
    ASSERT_TRUE(SetAdminAccount(Db(), "it-staff", kPassword, error, kTestIterations)) << error;
    // The unknown account's full-cost hash on a loaded machine.
    Http().set_read_timeout(30, 0);
  }
  Database& Db() { return *server_->Server().Context().db; }
  httplib::Client& Http() { return server_->Http(); }

  httplib::Result Login(const std::string& name, const std::string& password) {
    return Http().Post("/admin/login", "name=" + name + "&password=" + password, kForm);
  }
  // The cookie a good login sets, as a Cookie header's value.
  std::string Session() {
    auto res = Login("it-staff", "correct+horse+battery");
    EXPECT_TRUE(res && res->status == 303);
    const std::string set = res ? res->get_header_value("Set-Cookie") : "";
    return set.substr(0, set.find(';'));
  }
  httplib::Result Get(const std::string& path, const std::string& cookie) {
    return Http().Get(path, {{"Cookie", cookie}});
  }
  std::string Count(const char* table) {
    std::vector<Row> rows;
    std::string error;
    Db().Run(std::string("SELECT COUNT(*) FROM ") + table, {}, &rows, error);
    return rows.empty() ? error : rows[0][0];
  }

  std::unique_ptr<RunningServer> server_;
};

TEST_P(AdminRoutesTest, AGoodLoginOpensTheOverviewAndLogoutEndsIt) {
  auto res = Login("it-staff", "correct+horse+battery");
  ASSERT_TRUE(res);
  EXPECT_EQ(res->status, 303);
  EXPECT_EQ(res->get_header_value("Location"), "/admin");
  const std::string set = res->get_header_value("Set-Cookie");
  EXPECT_NE(set.find("; HttpOnly"), std::string::npos) << set;
  EXPECT_NE(set.find("; SameSite=Strict"), std::string::npos) << set;
  EXPECT_NE(set.find("; Path=/admin"), std::string::npos) << set;
  const std::string cookie = set.substr(0, set.find(';'));
  // Only the token's hash is kept.
  std::vector<Row> rows;
  std::string error;
  Db().Run("SELECT token_hash FROM admin_sessions", {}, &rows, error);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0][0], Sha256Hex(cookie.substr(cookie.find('=') + 1)));
  auto page = Get("/admin", cookie);
  ASSERT_TRUE(page);
  EXPECT_EQ(page->status, 200);
  EXPECT_NE(page->body.find("it-staff"), std::string::npos);
  EXPECT_EQ(page->get_header_value("Cache-Control"), "no-store");
  ASSERT_EQ(Http().Post("/admin/logout", httplib::Headers{{"Cookie", cookie}}, "", kForm)->status,
            303);
  EXPECT_EQ(Get("/admin", cookie)->status, 303);
  EXPECT_EQ(Count("admin_sessions"), "0");
}

TEST_P(AdminRoutesTest, WrongLoginsAndBadCookiesOpenNothing) {
  const std::string reports = Count("reports");
  for (const auto& [name, password] :
       std::vector<std::pair<std::string, std::string>>{{"it-staff", "wrong"},
                                                        {"it-staff", ""},
                                                        {"nobody", "correct+horse+battery"},
                                                        {"it-staff'--", "x"},
                                                        {"", ""}}) {
    auto res = Login(name, password);
    ASSERT_TRUE(res);
    EXPECT_EQ(res->status, 401) << name;
    EXPECT_FALSE(res->has_header("Set-Cookie")) << name;
  }
  const std::string good = Session();
  const std::string token = good.substr(good.find('=') + 1);
  std::string forged = token;
  forged[0] = forged[0] == 'a' ? 'b' : 'a';
  for (const std::string& cookie :
       {std::string(), std::string("kestrel_admin="), "kestrel_admin=" + forged,
        "kestrel_admin=" + token.substr(1), "kestrel_admin=" + token + "0", "other=" + token,
        std::string("kestrel_admin=' OR '1'='1")}) {
    for (const char* path : {"/admin", "/admin/reports.csv"}) {
      auto res = Get(path, cookie);
      ASSERT_TRUE(res);
      EXPECT_EQ(res->status, 303) << cookie;
      EXPECT_EQ(res->get_header_value("Location"), "/admin/login");
      EXPECT_EQ(res->body.find("<table"), std::string::npos);
    }
  }
  EXPECT_EQ(Count("reports"), reports);
  EXPECT_EQ(Count("admin_accounts"), "1");
}

TEST_P(AdminRoutesTest, FailedLoginsLockTheAccountEvenForTheRightPassword) {
  const LoginLimits limits;
  for (int i = 0; i < limits.maxFailures; ++i) {
    EXPECT_EQ(Login("it-staff", "guess" + std::to_string(i))->status, 401);
  }
  auto res = Login("it-staff", "correct+horse+battery");
  ASSERT_TRUE(res);
  EXPECT_EQ(res->status, 429);
  EXPECT_FALSE(res->has_header("Set-Cookie"));
  // Other accounts from the same address are refused only past the address's own limit.
  std::string error;
  ASSERT_TRUE(SetAdminAccount(Db(), "second", kPassword, error, kTestIterations));
  EXPECT_EQ(Login("second", "correct+horse+battery")->status, 303);
}

TEST_P(AdminRoutesTest, FiltersChartsAndTheExportShowTheMatchingReports) {
  for (const auto& [load, model] :
       std::vector<std::pair<int, std::string>>{{65, "Quiet"}, {20, "Busy <b>"}, {5, "=Busy2"}}) {
    ASSERT_EQ(Http().Post("/report", Report(load, model), kJson)->status, 200);
  }
  const std::string cookie = Session();
  auto all = Get("/admin", cookie);
  ASSERT_TRUE(all);
  ASSERT_EQ(all->status, 200);
  EXPECT_NE(all->body.find("<span id=\"total\">3</span>"), std::string::npos);
  EXPECT_NE(all->body.find("Busy &lt;b&gt;"), std::string::npos);
  EXPECT_EQ(all->body.find("Busy <b>"), std::string::npos);
  EXPECT_NE(all->body.find("<svg"), std::string::npos);
  EXPECT_NE(all->body.find("不符合网课带宽最低要求: 2"), std::string::npos);  // a bar
  auto busy = Get("/admin?problem=bandwidth", cookie);
  EXPECT_NE(busy->body.find("<span id=\"total\">2</span>"), std::string::npos);
  EXPECT_EQ(busy->body.find("Quiet"), std::string::npos);
  auto none = Get("/admin?min=100000", cookie);
  EXPECT_NE(none->body.find("<span id=\"total\">0</span>"), std::string::npos);
  auto csv = Get("/admin/reports.csv?problem=bandwidth", cookie);
  ASSERT_EQ(csv->status, 200);
  EXPECT_EQ(csv->get_header_value("Content-Type"), "text/csv; charset=utf-8");
  EXPECT_NE(csv->body.find("\"'=Busy2 "), std::string::npos);
  EXPECT_EQ(csv->body.find("Quiet"), std::string::npos);
  for (const char* hostile :
       {"/admin?problem=cpu%25", "/admin?from=2026-01-01%27%20OR%201=1--", "/admin?min=-5",
        "/admin?to=%3Cscript%3E", "/admin/reports.csv?max=1e9", "/admin?problem=x,cpu"}) {
    auto res = Get(hostile, cookie);
    ASSERT_TRUE(res);
    EXPECT_EQ(res->status, 400) << hostile;
    EXPECT_EQ(res->body.find("Quiet"), std::string::npos) << hostile;
    EXPECT_EQ(res->body.find("<script>"), std::string::npos) << hostile;
  }
  EXPECT_EQ(Count("reports"), "3");
}

KESTREL_BOTH_STORES(AdminRoutesTest);

TEST(AdminPasswordTest, HashesAreSaltedSlowAndComparedWhole) {
  EXPECT_EQ(RandomHex(16).size(), 32u);
  EXPECT_NE(RandomHex(16), RandomHex(16));
  const std::string a = PasswordHash("secret password", "salt-a", 1000);
  EXPECT_EQ(a, PasswordHash("secret password", "salt-a", 1000));
  EXPECT_NE(a, PasswordHash("secret password", "salt-b", 1000));
  EXPECT_NE(a, PasswordHash("secret password", "salt-a", 1001));
  EXPECT_EQ(a.find("secret"), std::string::npos);
  EXPECT_TRUE(SameSecret(a, a));
  EXPECT_FALSE(SameSecret(a, a.substr(1)));
  EXPECT_FALSE(SameSecret(a, a.substr(0, 63) + "x"));
  for (const char* bad : {"", "a b", "x/y", "名字", "'--"}) {
    EXPECT_FALSE(IsAccountName(bad)) << bad;
  }
}

}  // namespace
}  // namespace kestrel::server::test
