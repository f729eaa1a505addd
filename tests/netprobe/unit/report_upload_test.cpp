// The uploads with the transfer faked: every PostJson result and its message, the answer's
// number kept within the caller's buffer, the DNS update's body and method.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "NetProbe.h"
#include "dll/engine_instance.h"
#include "dll/upload.h"
#include "network/report/post_json.h"
#include "network/report/report_address.h"
#include "network/report/report_json.h"
#include "support/fake_machine.h"
#include "support/report_engine.h"

namespace kestrel::test {
namespace {

using netprobe::HttpUploadStatus;

constexpr const char kHeaders[] =
    "HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nContent-Length: 40\r\n\r\n";

std::wstring Wide(const std::string& ascii) {
  return std::wstring(ascii.begin(), ascii.end());
}

class ReportUploadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    machine_.InstallEngine();
    engine_ = netprobe::Engine();
  }
  void TearDown() override { netprobe::DestroyEngine(); }

  FakeMachine machine_{"connected-zh", 936};
  netprobe::ProbeEngine* engine_ = nullptr;
};

TEST_F(ReportUploadTest, EveryResultOfPostJsonWithItsMessage) {
  struct Case {
    const char* what;
    HttpUploadStatus status;
    std::string answer;
    int result;
    const char* message;
    std::wstring number;  // reportNumber afterwards (starts as "old")
  };
  const std::string h = kHeaders;
  const std::vector<Case> cases = {
      {"not JSON", HttpUploadStatus::kDone, h + "<html>busy</html>", 0, "解析失败", L"old"},
      {"empty answer", HttpUploadStatus::kDone, "", 0, "解析失败", L"old"},
      {"added", HttpUploadStatus::kDone, h + R"({"code":200,"message":"ok","data":"4711"})", 1,
       "添加成功", L"4711"},
      {"added without headers", HttpUploadStatus::kDone, R"({"code":200,"data":"12"})", 1,
       "添加成功", L"12"},
      {"added, empty data", HttpUploadStatus::kDone, h + R"({"code":200,"data":""})", 1, "添加成功",
       L""},
      {"added, a code written as 200.0", HttpUploadStatus::kDone, R"({"code":200.0,"data":"7"})", 1,
       "添加成功", L"7"},
      {"adding failed", HttpUploadStatus::kDone, h + R"({"code":201,"message":"dup"})", 2,
       "添加失败", L"old"},
      {"unknown code", HttpUploadStatus::kDone, h + R"({"code":500,"data":"9"})", 3,
       "未知状态码上传失败", L"old"},
      {"no code at all", HttpUploadStatus::kDone, R"({"message":"x","data":"9"})", 3,
       "未知状态码上传失败", L"old"},
      // Without {"code": to start from, the whole answer is read, status line and all.
      {"no code after the headers", HttpUploadStatus::kDone, h + R"({"message":"x","data":"9"})", 0,
       "解析失败", L"old"},
      {"code not the first member", HttpUploadStatus::kDone, h + R"({"data":"9","code":200})", 0,
       "解析失败", L"old"},
      {"code first, after a spaced colon", HttpUploadStatus::kDone, h + R"({"code" :200})", 0,
       "解析失败", L"old"},
      {"code is a text", HttpUploadStatus::kDone, h + R"({"code":"200","data":"9"})", 0, "解析失败",
       L"old"},
      {"data is a number", HttpUploadStatus::kDone, h + R"({"code":200,"data":9})", 0, "解析失败",
       L"old"},
      {"message is an object", HttpUploadStatus::kDone, h + R"({"code":200,"message":{}})", 0,
       "解析失败", L"old"},
      {"an array, not an object", HttpUploadStatus::kDone, h + "[1,2]", 0, "解析失败", L"old"},
      {"transfer failed", HttpUploadStatus::kFailed, "", 4, "CURL上传失败", L"old"},
      {"no easy handle", HttpUploadStatus::kNoHandle, "", 5, "curl初始化失败！", L"old"},
  };
  for (const Case& c : cases) {
    std::wstring number = L"old";
    machine_.upload.status = c.status;
    machine_.upload.answer = c.answer;
    std::string message;
    EXPECT_EQ(
        netprobe::PostJson(engine_->platform(), "{}", "https://x/report", message, true, number),
        c.result)
        << c.what;
    EXPECT_EQ(message, c.message) << c.what;
    EXPECT_EQ(number, c.number) << c.what;
  }
}

TEST_F(ReportUploadTest, ReportNumbersBeyond255CharactersAreRefused) {
  for (const std::size_t length : {std::size_t{255}, std::size_t{256}, std::size_t{5000}}) {
    std::wstring reportNumber = L"old";
    const std::string number(length, '7');
    std::string message;
    const int result = netprobe::ParseReportAnswer(R"({"code":200,"data":")" + number + "\"}",
                                                   *machine_.codePage, message, reportNumber);
    if (length <= netprobe::kLongestReportNumber) {
      EXPECT_EQ(result, 1);
      EXPECT_EQ(reportNumber, Wide(number));
    } else {
      EXPECT_EQ(result, 0) << length;
      EXPECT_EQ(message, "解析失败");
      EXPECT_EQ(reportNumber, L"old");
    }
  }
}

TEST_F(ReportUploadTest, NumberPassesThroughTheAnsiCodePage) {
  std::string message;
  std::wstring number;
  // "报告-7" and an emoji the code page cannot hold.
  ASSERT_EQ(netprobe::ParseReportAnswer("{\"code\":200,\"data\":\"\xE6\x8A\xA5\xE5\x91\x8A-7"
                                        "\xF0\x9F\x98\x80\"}",
                                        *machine_.codePage, message, number),
            1);
  // The page's default character stands in for the emoji: one "?" natively and on Windows, one
  // for each half of the surrogate pair under Wine.
  ASSERT_GE(number.size(), 5u);
  EXPECT_EQ(number.substr(0, 4), std::wstring(L"\u62A5\u544A-7"));
  EXPECT_EQ(number.find_first_not_of(L'?', 4), std::wstring::npos);
}

TEST_F(ReportUploadTest, UploadJsonDataPostsTheReportAndFillsTheBuffer) {
  FillLikeAFullRun(*engine_);
  machine_.upload.answer = std::string(kHeaders) + R"({"code":200,"message":"ok","data":"880021"})";
  std::vector<wchar_t> buffer(256, L'#');
  ProbeError error;
  ASSERT_EQ(UploadJsonData(buffer.data(), &error), 1);
  EXPECT_EQ(std::wstring(buffer.data()), L"880021");
  EXPECT_EQ(error.code, 0);

  ASSERT_EQ(machine_.upload.sent.size(), 1u);
  const netprobe::HttpUploadRequest& sent = machine_.upload.sent[0];
  EXPECT_TRUE(sent.post);
  EXPECT_EQ(sent.url, netprobe::ReportAddress());
  EXPECT_EQ(sent.url.rfind("https://", 0), 0u);
  EXPECT_EQ(sent.url.substr(sent.url.size() - 7), "/report");
  EXPECT_EQ(sent.headers, std::vector<std::string>{"Content-Type:application/json;charset=UTF-8"});
  EXPECT_EQ(sent.body, machine_.codePage->AnsiToUtf8(
                           netprobe::BuildReportJson(engine_->records(), *machine_.codePage)));
  // The default build talks to the local server, whose certificate is the tests' own.
  EXPECT_FALSE(sent.verifyPeer);
}

TEST_F(ReportUploadTest, UploadJsonDataOutcomes) {
  struct Case {
    HttpUploadStatus status;
    std::string answer;
    int result;
    int code;
    std::wstring buffer;
  };
  const std::vector<Case> cases = {
      // An unknown code succeeds with the number of the earlier upload (none yet: empty).
      {HttpUploadStatus::kDone, R"({"code":302})", 1, 0, L""},
      {HttpUploadStatus::kDone, R"({"code":201})", 0, 2, L"untouched"},
      {HttpUploadStatus::kDone, "oops", 0, 0, L"untouched"},
      {HttpUploadStatus::kFailed, "", 0, 4, L"untouched"},
      {HttpUploadStatus::kNoHandle, "", 0, 5, L"untouched"},
  };
  for (const Case& c : cases) {
    machine_.upload.status = c.status;
    machine_.upload.answer = c.answer;
    std::wstring buffer = L"untouched";
    buffer.resize(256, L'\0');
    ProbeError error;
    error.code = -7;
    EXPECT_EQ(UploadJsonData(buffer.data(), &error), c.result) << c.code;
    EXPECT_EQ(std::wstring(buffer.c_str()), c.buffer) << c.code;
    EXPECT_EQ(error.code, c.result == 1 ? -7 : c.code);
    if (c.result == 0) {
      EXPECT_EQ(error.message, netprobe::kPostMessages[c.code]);
    }
  }
}

TEST_F(ReportUploadTest, TheBufferNeverGetsMoreThan255CharactersAndItsTerminator) {
  SeedRecords(*engine_, [&](netprobe::ProbeRecords& r) {
    r.reportNumber = std::wstring(300, L'9');
  });  // however it got there
  machine_.upload.answer = R"({"code":500})";
  std::vector<wchar_t> buffer(257, L'#');
  ProbeError error;
  ASSERT_EQ(UploadJsonData(buffer.data(), &error), 1);
  EXPECT_EQ(std::wstring(buffer.data()), std::wstring(255, L'9'));
  EXPECT_EQ(buffer[256], L'#');
}

TEST_F(ReportUploadTest, UploadDNSJsonDataPutsTheNumberAndTheState) {
  struct Case {
    std::wstring number;
    int optimize;
    std::string body;
  };
  const std::vector<Case> cases = {
      {L"", 0, R"({"number":"","optimize":0})"},
      {L"880021", 1, R"({"number":"880021","optimize":1})"},
      {L"88\"0", 5, R"({"number":"88\"0","optimize":1})"},
  };
  for (const Case& c : cases) {
    SeedRecords(*engine_, [&](netprobe::ProbeRecords& r) { r.reportNumber = c.number; });
    SeedRecords(*engine_, [&](netprobe::ProbeRecords& r) { r.dnsTestInfo.optimize = c.optimize; });
    machine_.upload.sent.clear();
    machine_.upload.answer = R"({"code":500})";
    ProbeError error;
    ASSERT_EQ(UploadDNSJsonData(&error), 1);
    ASSERT_EQ(machine_.upload.sent.size(), 1u);
    EXPECT_FALSE(machine_.upload.sent[0].post);
    EXPECT_EQ(machine_.upload.sent[0].body, c.body);
    EXPECT_EQ(machine_.upload.sent[0].headers.size(), 1u);
    EXPECT_EQ(engine_->records().reportNumber, c.number);
  }
  // A code-200 answer to the update replaces the number, an empty "data" empties it.
  machine_.upload.answer = R"({"code":200,"data":""})";
  ProbeError error;
  EXPECT_EQ(UploadDNSJsonData(&error), 1);
  EXPECT_EQ(engine_->records().reportNumber, L"");
  machine_.upload.answer = R"({"code":201})";
  EXPECT_EQ(UploadDNSJsonData(&error), 0);
  EXPECT_EQ(error.code, 2);
  EXPECT_EQ(error.message, "添加失败");
}

TEST(ReportUploadOfflineTest, NothingIsSentWithoutANetwork) {
  FakeMachine machine("offline-zh", 936);
  machine.InstallEngine();
  wchar_t buffer[256] = L"kept";
  ProbeError error;
  EXPECT_EQ(UploadJsonData(buffer, &error), 0);
  EXPECT_EQ(error.code, netprobe::kNoNetwork);
  EXPECT_EQ(error.message, "您当前未连接网络，请连接网络");
  EXPECT_EQ(std::wstring(buffer), L"kept");
  ProbeError dnsError;
  EXPECT_EQ(UploadDNSJsonData(&dnsError), 0);
  EXPECT_EQ(dnsError.code, netprobe::kNoNetwork);
  EXPECT_TRUE(machine.upload.sent.empty());
  netprobe::DestroyEngine();
}

TEST(ReportAddressTest, CertificatesAreCheckedExceptOnLoopback) {
  struct Case {
    const char* setting;
    const char* host;
    bool verify;
  };
  const std::vector<Case> cases = {
      {"AUTO", "127.0.0.1:18443", false},
      {"AUTO", "127.8.9.10", false},
      {"AUTO", "[::1]:443", false},
      {"AUTO", "[::1]", false},
      {"AUTO", "report.lessora.cn", true},
      {"AUTO", "localhost:443", true},
      {"AUTO", "127.0.0.1.nip.io", true},
      {"AUTO", "128.0.0.1", true},
      {"AUTO", "[::1]x", true},
      {"AUTO", "0127.0.0.1", true},
      {"ON", "127.0.0.1:18443", true},
      {"OFF", "report.lessora.cn", false},
      {"maybe", "127.0.0.1", true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(netprobe::TlsVerifyFor(c.setting, c.host), c.verify) << c.setting << " " << c.host;
  }
}

}  // namespace
}  // namespace kestrel::test
