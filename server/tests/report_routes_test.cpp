// POST and PUT /report through a real listener: validation, storage, answers and test modes.
#include <gtest/gtest.h>
#include <json/json.h>

#include <fstream>
#include <iterator>
#include <set>

#include "server_harness.h"
#include "store/report_table.h"

namespace kestrel::server::test {
namespace {

std::string FullReport() {
  std::ifstream in(KESTREL_TESTDATA_DIR "/reports/full_report.json", std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

std::string Replace(std::string text, const std::string& from, const std::string& to) {
  text.replace(text.find(from), from.size(), to);
  return text;
}

Json::Value Parse(const std::string& body) {
  Json::Value v;
  Json::Reader().parse(body, v);
  return v;
}

constexpr const char* kJson = "application/json;charset=UTF-8";

class ReportRoutesTest : public StoreTest {};

TEST_P(ReportRoutesTest, AStoredReportIsKeptExactlyAndAnsweredInTheExpectedForm) {
  RunningServer s(StoreOptions());
  const std::string doc = FullReport();
  ASSERT_FALSE(doc.empty());
  auto res = s.Http().Post("/report", doc, kJson);
  ASSERT_TRUE(res);
  EXPECT_EQ(res->status, 200);
  ASSERT_EQ(res->body.rfind("{\"code\":200,\"message\":\"", 0), 0u) << res->body;
  const std::string number = Parse(res->body)["data"].asString();
  EXPECT_EQ(number.size(), 12u);
  const auto stored = FindReport(*s.Server().Context().db, number);
  ASSERT_TRUE(stored);
  EXPECT_EQ(stored->document, doc);
  EXPECT_EQ(stored->optimize, "");
}

TEST_P(ReportRoutesTest, BadDocumentsAreRefusedWithAReason) {
  const std::string doc = FullReport();
  const struct {
    std::string body;
    const char* reason;
  } cases[] = {
      {"", "not JSON"},
      {"{\"code\":", "not JSON"},
      {"[1,2]", "not a JSON object"},
      {"{}", "missing member Manufacturer"},
      {Replace(doc, "\"CameraState\":1", "\"Camera\":1"), "missing member CameraState"},
      {Replace(doc, "\"MaxClockSpeed\":3000", "\"MaxClockSpeed\":\"3000\""),
       "wrong type of member MaxClockSpeed"},
      {Replace(doc, "\"SystName\":\"", "\"SystName\":1,\"x\":\""), "wrong type of member SystName"},
      {Replace(doc, "\"HardDiskInfo\":[", "\"HardDiskInfo\":{\"a\":[") + "", "not JSON"},
      {Replace(doc, "\"NetworkCardInfo\":[", "\"NetworkCardInfo\":0,\"y\":["),
       "wrong type of member NetworkCardInfo"},
  };
  RunningServer s(StoreOptions());
  for (const auto& c : cases) {
    auto res = s.Http().Post("/report", c.body, kJson);
    ASSERT_TRUE(res);
    EXPECT_EQ(res->status, 400) << c.reason;
    const Json::Value answer = Parse(res->body);
    EXPECT_EQ(answer["code"].asInt(), 201) << c.reason;
    EXPECT_NE(answer["message"].asString().find(c.reason), std::string::npos) << res->body;
  }
}

TEST(ReportRoutesLogicTest, NumbersAreUniqueAndDoNotFollowEachOther) {
  std::set<std::string> seen;
  std::set<char> firstDigits;
  long long previous = -1;
  int consecutive = 0;
  for (int i = 0; i < 2000; ++i) {
    const std::string n = NewReportNumber();
    ASSERT_EQ(n.size(), 12u);
    ASSERT_NE(n[0], '0');
    ASSERT_EQ(n.find_first_not_of("0123456789"), std::string::npos);
    EXPECT_TRUE(seen.insert(n).second) << n;
    firstDigits.insert(n[0]);
    const long long value = std::stoll(n);
    consecutive += previous >= 0 && std::llabs(value - previous) < 1000;
    previous = value;
  }
  EXPECT_EQ(firstDigits.size(), 9u);
  EXPECT_EQ(consecutive, 0);
}

TEST_P(ReportRoutesTest, PutRecordsTheDnsStateOfAKnownReport) {
  RunningServer s(StoreOptions());
  auto posted = s.Http().Post("/report", FullReport(), kJson);
  ASSERT_TRUE(posted);
  const std::string number = Parse(posted->body)["data"].asString();
  const struct {
    std::string body;
    int status;
    const char* optimize;
  } cases[] = {
      {"{\"number\":\"" + number + "\",\"optimize\":1}", 200, "1"},
      {"{\"number\":\"" + number + "\",\"optimize\":0}", 200, "0"},
      {"{\"number\":\"" + number + "\",\"optimize\":2}", 400, "0"},
      {"{\"number\":\"" + number + "\"}", 400, "0"},
      {"{\"number\":" + number + ",\"optimize\":1}", 400, "0"},
      {"{\"number\":\"" + number + "\",\"optimize\":1,\"x\":1}", 400, "0"},
      {"{\"number\":\"\",\"optimize\":1}", 404, "0"},
      {"not json", 400, "0"},
  };
  for (const auto& c : cases) {
    auto res = s.Http().Put("/report", c.body, kJson);
    ASSERT_TRUE(res);
    EXPECT_EQ(res->status, c.status) << c.body;
    const Json::Value answer = Parse(res->body);
    EXPECT_EQ(answer["code"].asInt(), c.status == 200 ? 200 : 201) << c.body;
    if (c.status == 200) {
      EXPECT_EQ(answer["data"].asString(), number);
    }
    EXPECT_EQ(FindReport(*s.Server().Context().db, number)->optimize, c.optimize) << c.body;
  }
}

TEST_P(ReportRoutesTest, EachTestModeShapesTheAnswer) {
  const struct {
    const char* mode;
    bool answered;
    std::string prefix;
  } cases[] = {
      {"code201", true, "{\"code\":201,"},
      {"unknowncode", true, "{\"code\":500,"},
      {"nocode", true, "{\"message\":"},
      {"notjson", true, "<html>"},
      {"drop", false, ""},
      {"stall", false, ""},
  };
  RunningServer s(StoreOptions());
  for (const auto& c : cases) {
    ASSERT_EQ(s.Set(std::string("report.mode=") + c.mode), 200);
    for (const bool put : {false, true}) {
      auto res = put ? s.Http().Put("/report", "{}", kJson)
                     : s.Http().Post("/report", FullReport(), kJson);
      EXPECT_EQ(static_cast<bool>(res), c.answered) << c.mode;
      if (res) {
        EXPECT_EQ(res->body.rfind(c.prefix, 0), 0u) << c.mode << ": " << res->body;
      }
    }
  }
  ASSERT_EQ(s.Set("report.mode=endless"), 200);
  std::size_t received = 0;
  httplib::Request req;
  req.method = "POST";
  req.path = "/report";
  req.body = FullReport();
  req.set_header("Content-Type", kJson);
  req.content_receiver = [&](const char*, std::size_t n, std::uint64_t, std::uint64_t) {
    return (received += n) < std::size_t{1} << 20;
  };
  auto res = s.Http().send(req);
  EXPECT_FALSE(res);
  EXPECT_GE(received, std::size_t{1} << 20);
  ASSERT_EQ(s.Http().Post("/_test/reset")->status, 200);
  EXPECT_EQ(s.Http().Post("/report", FullReport(), kJson)->status, 200);
}

KESTREL_BOTH_STORES(ReportRoutesTest);

}  // namespace
}  // namespace kestrel::server::test
