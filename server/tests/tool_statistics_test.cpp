// POST /Home/tool/statistics and POST /home/suggest through a real listener: what is stored,
// what is refused, and the test-control read-back of both.
#include <gtest/gtest.h>
#include <json/json.h>

#include <string>

#include "server_harness.h"
#include "tool_records.h"

namespace kestrel::server::test {
namespace {

constexpr const char* kJson = "application/json";

Json::Value Parse(const std::string& body) {
  Json::Value v;
  Json::Reader().parse(body, v);
  return v;
}

// The form the tool sends: indented, members in its own order, Chinese text in UTF-8.
const std::string kStatistic =
    "{\n   \"Manufacture\" : \"联想（北京）有限公司\",\n   \"PcModel\" : \"ThinkPad "
    "E14 Gen 2\",\n   \"SerialNumber\" : \"PF2K3X9\",\n   \"datetime\" : \"2026-12-08 "
    "09:30:00\",\n   \"id\" : \"10090\",\n   \"status\" : \"关闭\",\n   \"versions\" : "
    "\"2.1.20.928\"\n}\n";

class ToolStatisticsTest : public StoreTest {};

TEST_P(ToolStatisticsTest, AStatisticIsStoredAndReadBackExactly) {
  RunningServer s(StoreOptions());
  auto res = s.Http().Post("/Home/tool/statistics", kStatistic, kJson);
  ASSERT_TRUE(res);
  EXPECT_EQ(res->status, 200);
  EXPECT_EQ(Parse(res->body)["code"].asInt(), 200);
  const std::string empty =
      R"({"id":"","versions":"","status":"","datetime":"","PcModel":"","Manufacture":"",)"
      R"("SerialNumber":""})";
  ASSERT_EQ(s.Http().Post("/Home/tool/statistics", empty, kJson)->status, 200);

  const Json::Value all = Parse(s.Http().Get("/_test/statistics")->body);
  ASSERT_EQ(all.size(), 2u);
  const Json::Value& first = all[0];
  EXPECT_EQ(first["row"].asInt(), 1);
  EXPECT_EQ(first["body"].asString(), kStatistic);
  EXPECT_TRUE(first["validUtf8"].asBool());
  const struct {
    const char* member;
    const char* value;
  } expected[] = {
      {"id", "10090"},
      {"versions", "2.1.20.928"},
      {"status", "关闭"},
      {"datetime", "2026-12-08 09:30:00"},
      {"PcModel", "ThinkPad E14 Gen 2"},
      {"Manufacture", "联想（北京）有限公司"},
      {"SerialNumber", "PF2K3X9"},
  };
  EXPECT_EQ(first["members"].size(), std::size(expected));
  for (const auto& e : expected) {
    EXPECT_EQ(first["members"][e.member].asString(), e.value) << e.member;
    EXPECT_EQ(all[1]["members"][e.member].asString(), "") << e.member;
  }
  EXPECT_EQ(all[1]["row"].asInt(), 2);
  const Json::Value last = Parse(s.Http().Get("/_test/statistics/last")->body);
  EXPECT_EQ(last["body"].asString(), empty);
}

TEST_P(ToolStatisticsTest, MalformedStatisticsAreRefusedAndNothingIsStored) {
  const std::string seven =
      R"("id":"1","versions":"2","status":"3","datetime":"4","PcModel":"5","Manufacture":"6")";
  const struct {
    std::string body;
    int status;
    const char* reason;  // part of the message
  } cases[] = {
      {"", 400, "JSON"},
      {"not json", 400, "JSON"},
      {"[\"10090\"]", 400, "JSON"},
      {"{" + seven + ",\"SerialNumber\":\"7\"", 400, "JSON"},
      {"{" + seven + ",\"SerialNumber\":\"7\"} trailing", 400, "JSON"},
      {"{" + seven + "}", 400, "缺少成员 SerialNumber"},
      {"{}", 400, "缺少成员 id"},
      {"{" + seven + ",\"SerialNumber\":7}", 400, "SerialNumber 不是文本"},
      {"{" + seven + ",\"SerialNumber\":null}", 400, "SerialNumber 不是文本"},
      {"{" + seven + ",\"SerialNumber\":[\"7\"]}", 400, "SerialNumber 不是文本"},
      {"{\"id\":10090," + seven.substr(9) + ",\"SerialNumber\":\"7\"}", 400, "id 不是文本"},
      {"{" + seven + ",\"SerialNumber\":\"" + std::string(5u << 20, 'x') + "\"}", 413, "too large"},
  };
  RunningServer s(StoreOptions());
  for (const auto& c : cases) {
    auto res = s.Http().Post("/Home/tool/statistics", c.body, kJson);
    ASSERT_TRUE(res) << c.body.substr(0, 80);
    EXPECT_EQ(res->status, c.status) << c.body.substr(0, 80);
    EXPECT_NE(res->body.find(c.reason), std::string::npos) << res->body;
  }
  EXPECT_EQ(Parse(s.Http().Get("/_test/statistics")->body).size(), 0u);
  EXPECT_EQ(s.Http().Get("/_test/statistics/last")->status, 404);
}

TEST_P(ToolStatisticsTest, FeedbackIsStoredWhenValidAndRefusedWithItsMessageOtherwise) {
  const struct {
    std::string body;
    int code;
  } cases[] = {
      {R"({"id":"10090","contact":"qq 12345","text":"检测到网速时卡住了"})", 200},
      {R"({"id":"10090","text":"多行\n内容\t可以"})", 200},
      {R"({"id":"","text":"x"})", 400 + kFeedbackNoId},
      {R"({"text":"x"})", 400 + kFeedbackNoId},
      {R"({"id":"a\u0001b","text":"x"})", 400 + kFeedbackBadId},
      {R"({"id":")" + std::string(65, '9') + R"(","text":"x"})", 400 + kFeedbackBadId},
      {R"({"id":"10090","text":"  \n "})", 400 + kFeedbackNoText},
      {R"({"id":"10090","text":")" + std::string(6001, 'x') + "\"}", 400 + kFeedbackTextTooLong},
      {R"({"id":"10090","text":"x","contact":")" + std::string(201, 'c') + "\"}",
       400 + kFeedbackContactTooLong},
      {R"({"id":"10090","text":"x","contact":"a\nb"})", 400 + kFeedbackNotText},
      {R"({"id":"10090","text":5})", 400 + kFeedbackNotText},
      {"{\"id\":\"10090\",\"text\":\"\xC3\x28\"}", 400 + kFeedbackNotText},
      {"id=10090&text=x", 400 + kFeedbackNotJson},
  };
  RunningServer s(StoreOptions());
  for (const auto& c : cases) {
    auto res = s.Http().Post("/home/suggest", c.body, kJson);
    ASSERT_TRUE(res);
    const Json::Value answer = Parse(res->body);
    EXPECT_EQ(answer["code"].asInt(), c.code) << c.body.substr(0, 80);
    EXPECT_EQ(res->status, c.code == 200 ? 200 : 400) << c.body.substr(0, 80);
    EXPECT_EQ(answer["msg"].asString(),
              FeedbackMessage(static_cast<FeedbackError>(c.code == 200 ? 0 : c.code - 400)));
  }
  const Json::Value all = Parse(s.Http().Get("/_test/feedback")->body);
  ASSERT_EQ(all.size(), 2u);
  EXPECT_EQ(all[0]["id"].asString(), "10090");
  EXPECT_EQ(all[0]["contact"].asString(), "qq 12345");
  EXPECT_EQ(all[0]["text"].asString(), "检测到网速时卡住了");
  EXPECT_EQ(all[1]["text"].asString(), "多行\n内容\t可以");
  EXPECT_EQ(Parse(s.Http().Get("/_test/feedback/last")->body)["row"].asInt(), 2);
}

TEST(ToolStatisticsServerTest, ASecondServerCannotTakeAPortInUse) {
  RunningServer first;
  ServerOptions o = RunningServer::TestOptions();
  o.httpPort = first.Server().HttpPort();
  KestrelServer second(o);
  std::string error;
  EXPECT_FALSE(second.Start(error));
  EXPECT_NE(error.find("cannot listen"), std::string::npos) << error;
  second.Stop();
}

// Stopped before its accept loop could have begun: Stop() still ends it (the test would hang).
TEST(ToolStatisticsServerTest, AServerStoppedRightAfterItStartedEnds) {
  for (int i = 0; i < 200; ++i) {
    KestrelServer server(RunningServer::TestOptions());
    std::string error;
    ASSERT_TRUE(server.Start(error)) << error;
    server.Stop();
  }
}

KESTREL_BOTH_STORES(ToolStatisticsTest);

}  // namespace
}  // namespace kestrel::server::test
