// The version check: comparing versions, its answers through a real listener and each test mode
// that bends them.
#include <gtest/gtest.h>
#include <json/json.h>

#include <chrono>
#include <string>

#include "server_harness.h"
#include "version_check.h"

namespace kestrel::server::test {
namespace {

constexpr const char* kJson = "application/json";

Json::Value Parse(const std::string& body) {
  Json::Value v;
  Json::Reader().parse(body, v);
  return v;
}

std::string Request(const std::string& version) {
  return "{\n   \"id\" : \"10090\",\n   \"versions\" : \"" + version + "\"\n}\n";
}

TEST(VersionCompareTest, PartsCompareAsNumbersAndMissingPartsCountAsZero) {
  const struct {
    const char* a;
    const char* b;
    int order;
  } cases[] = {
      {"2.1.20.928", "2.1.20.928", 0},
      {"2.1.20.927", "2.1.20.928", -1},
      {"2.1.20.1000", "2.1.20.928", 1},
      {"2.1.3", "2.1.20", -1},
      {"2.1", "2.1.0.0", 0},
      {"2.1.0.1", "2.1", 1},
      {"10.0", "9.99", 1},
      {"02.01", "2.1", 0},
      {"0", "0.0.0.0.0.0.0.1", -1},
      {"999999999", "1000000.0", 1},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CompareVersions(c.a, c.b), c.order) << c.a << " vs " << c.b;
    EXPECT_EQ(CompareVersions(c.b, c.a), -c.order) << c.b << " vs " << c.a;
  }
  const char* invalid[] = {"",     "2..1", "2.1.",     ".2.1",         "v2.1",
                           "2.1 ", "-1.0", "2.1-beta", "1234567890.1", "1.2.3.4.5.6.7.8.9",
                           "２.1"};
  for (const char* bad : invalid) {
    EXPECT_FALSE(CompareVersions(bad, "2.1")) << bad;
    EXPECT_FALSE(CompareVersions("2.1", bad)) << bad;
  }
}

TEST(VersionRouteTest, AnOlderCallerIsToldWhereTheNewVersionIs) {
  ServerOptions o = RunningServer::TestOptions();
  o.currentVersion = "2.1.21.3";
  RunningServer s(o);
  const std::string page =
      "http://127.0.0.1:" + std::to_string(s.Server().HttpPort()) + "/download";
  const struct {
    std::string body;
    int status;
    std::string data;  // empty: no "data" member
  } cases[] = {
      {Request("2.1.20.928"), 202, page}, {Request("2.1.21"), 202, page},
      {Request("2.1.21.3"), 200, ""},     {Request("2.1.21.3.0"), 200, ""},
      {Request("2.2"), 200, ""},          {Request("10.0.0.0"), 200, ""},
  };
  for (const auto& c : cases) {
    auto res = s.Http().Post("/Home/tool/version", c.body, kJson);
    ASSERT_TRUE(res);
    EXPECT_EQ(res->status, c.status) << c.body;
    const Json::Value answer = Parse(res->body);
    ASSERT_TRUE(answer["code"].isInt()) << res->body;
    EXPECT_EQ(answer["code"].asInt(), c.status);
    EXPECT_EQ(answer["version"].asString(), "2.1.21.3");
    EXPECT_EQ(answer.isMember("data"), !c.data.empty()) << res->body;
    EXPECT_EQ(answer["data"].asString(), c.data);
  }
  // The address handed out leads to the download page, which names the current version.
  auto res = s.Http().Get("/download");
  ASSERT_TRUE(res);
  EXPECT_EQ(res->status, 200);
  EXPECT_NE(res->body.find(">2.1.21.3<"), std::string::npos);
}

TEST(VersionRouteTest, TheConfiguredAddressAndVersionAreUsedAndAHostileHostIsNot) {
  ServerOptions o = RunningServer::TestOptions();
  o.downloadUrl = "http://127.0.0.1:9/setup.exe";
  RunningServer s(o);
  auto answer = Parse(s.Http().Post("/Home/tool/version", Request("1.0"), kJson)->body);
  EXPECT_EQ(answer["data"].asString(), "http://127.0.0.1:9/setup.exe");

  ASSERT_EQ(s.Set("version.url=&version.current=3.0%3Cb%3E"), 400);  // not a version at all
  ASSERT_EQ(s.Set("version.url=&version.current=3.0"), 200);
  httplib::Headers hostile = {{"Host", "evil.example\"><script>x</script>"}};
  auto res = s.Http().Post("/Home/tool/version", hostile, Request("2.1.20.928"), kJson);
  ASSERT_TRUE(res);
  answer = Parse(res->body);
  EXPECT_EQ(answer["version"].asString(), "3.0");
  EXPECT_EQ(answer["data"].asString(),
            "http://127.0.0.1:" + std::to_string(s.Server().HttpPort()) + "/download")
      << res->body;
  EXPECT_EQ(s.Http().Post("/_test/reset")->status, 200);
  answer = Parse(s.Http().Post("/Home/tool/version", Request("2.1.20.928"), kJson)->body);
  EXPECT_EQ(answer["code"].asInt(), 200);
}

TEST(VersionRouteTest, BadRequestsAreRefusedWithAReason) {
  const struct {
    std::string body;
    const char* reason;
  } cases[] = {
      {"", "不是JSON"},
      {"2.1.20.928", "不是JSON"},
      {"{\"id\":\"10090\",\"versions\":\"2.1\"", "不是JSON"},
      {"{\"versions\":\"2.1.20.928\"}", "工具编号"},
      {"{\"id\":10090,\"versions\":\"2.1.20.928\"}", "工具编号"},
      {"{\"id\":\"10090\"}", "没有版本号"},
      {"{\"id\":\"10090\",\"versions\":2.1}", "没有版本号"},
      {Request("2.1.20.928 beta"), "无法识别"},
      {Request(""), "无法识别"},
  };
  RunningServer s;
  for (const auto& c : cases) {
    auto res = s.Http().Post("/Home/tool/version", c.body, kJson);
    ASSERT_TRUE(res);
    EXPECT_EQ(res->status, 400) << c.body;
    const Json::Value answer = Parse(res->body);
    EXPECT_EQ(answer["code"].asInt(), kVersionBadRequestCode);
    EXPECT_NE(answer["msg"].asString().find(c.reason), std::string::npos) << res->body;
  }
}

TEST(VersionRouteTest, EachTestModeBendsTheAnswerUntilReset) {
  RunningServer s;
  const struct {
    const char* mode;
    const char* version;
    Json::ValueType type;  // of "code"; nullValue: the text from its first "{" is no JSON
    std::string code;
  } cases[] = {
      {"normal", "2.0", Json::intValue, "202"},
      {"fraction", "2.0", Json::realValue, "202.5"},
      {"fraction", "2.1.20.928", Json::realValue, "200.5"},
      {"text", "2.0", Json::stringValue, "202"},
      {"text", "2.1.20.928", Json::stringValue, "200"},
      {"notjson", "2.0", Json::nullValue, ""},
  };
  for (const auto& c : cases) {
    ASSERT_EQ(s.Set(std::string("version.mode=") + c.mode), 200);
    auto res = s.Http().Post("/Home/tool/version", Request(c.version), kJson);
    ASSERT_TRUE(res);
    const std::size_t brace = res->body.find('{');
    Json::Value answer;
    const bool parsed = brace != std::string::npos &&
                        Json::Reader().parse(res->body.substr(brace), answer) && answer.isObject();
    EXPECT_EQ(parsed, c.type != Json::nullValue) << c.mode << ": " << res->body;
    if (parsed) {
      EXPECT_EQ(answer["code"].type(), c.type) << c.mode;
      EXPECT_EQ(answer["code"].asString(), c.code) << c.mode;
    }
  }

  ASSERT_EQ(s.Set("version.mode=stall"), 200);
  httplib::Client patient("127.0.0.1", s.Server().HttpPort());
  patient.set_read_timeout(0, 300 * 1000);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(patient.Post("/Home/tool/version", Request("2.0"), kJson));
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(250));
  // A stalled answer still comes after the configured time (1 s here).
  patient.set_read_timeout(5, 0);
  auto late = patient.Post("/Home/tool/version", Request("2.0"), kJson);
  ASSERT_TRUE(late);
  EXPECT_EQ(late->status, 202);

  ASSERT_EQ(s.Http().Post("/_test/reset")->status, 200);
  auto res = s.Http().Post("/Home/tool/version", Request("2.0"), kJson);
  ASSERT_TRUE(res);
  EXPECT_TRUE(Parse(res->body)["code"].isInt()) << res->body;
}

}  // namespace
}  // namespace kestrel::server::test
