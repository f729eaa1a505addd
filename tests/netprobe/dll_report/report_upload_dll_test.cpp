// UploadJsonData and UploadDNSJsonData of the real NetProbe.dll against our server over HTTPS on
// loopback: the stored report read back, the DNS state recorded, and each answer the server's
// report modes give. The stall mode is left to the native upload test, which bounds it with
// short limits; here it would hold the run for the whole connection bound.
#include <windows.h>

#include <curl/curl.h>
#include <gtest/gtest.h>
#include <json/json.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "NetProbe.h"
#include "kestrel_endpoints.h"
#include "support/server_http.h"
#include "support/simulated_machine.h"

namespace kestrel::test {
namespace {

constexpr std::size_t kNumberBuffer = 256;

bool Control(const std::string& pathAndQuery) {
  return Http(pathAndQuery, true).status == 200;
}

// The value of the read-back's X-Kestrel-Optimize header; "?" when it is missing.
std::string OptimizeHeader(const std::string& headers) {
  const std::string name = "X-Kestrel-Optimize:";
  const std::size_t at = headers.find(name);
  if (at == std::string::npos) {
    return "?";
  }
  std::size_t start = at + name.size();
  while (start < headers.size() && headers[start] == ' ') {
    ++start;
  }
  return headers.substr(start, headers.find('\r', start) - start);
}

Json::Value Parse(const std::string& text, bool& ok) {
  Json::CharReaderBuilder builder;
  Json::Value root;
  std::string errors;
  const std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
  ok = reader->parse(text.data(), text.data() + text.size(), &root, &errors) && root.isObject();
  return root;
}

std::string Narrow(const wchar_t* text) {
  return std::string(text, text + wcslen(text));
}

class ReportUploadDllTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(Control("/_test/reset")) << "no server on port " << endpoints::kServerHttpPort;
  }
  void TearDown() override { Control("/_test/reset"); }

  // A normal upload; the number it received, "" on failure.
  std::string Upload() {
    wchar_t buffer[kNumberBuffer] = {};
    ProbeError error;
    if (UploadJsonData(buffer, &error) != 1) {
      ADD_FAILURE() << "upload failed: " << error.code;
      return "";
    }
    return Narrow(buffer);
  }

  SimulatedMachine machine_{"connected-zh"};  // the presence check passes
};

TEST_F(ReportUploadDllTest, TheStoredReportHoldsTheDocumentAndTheDnsState) {
  wchar_t buffer[kNumberBuffer];
  std::fill(std::begin(buffer), std::end(buffer), L'#');
  ProbeError error{-1, "untouched"};
  ASSERT_EQ(UploadJsonData(buffer, &error), 1) << error.code;
  EXPECT_EQ(error.code, -1);  // success leaves the error alone
  const std::string number = Narrow(buffer);
  ASSERT_EQ(number.size(), 12u) << number;
  EXPECT_EQ(number.find_first_not_of("0123456789"), std::string::npos) << number;
  EXPECT_EQ(buffer[13], L'#');  // nothing written past the terminator

  HttpAnswer stored = Http("/_test/report/" + number, false);
  ASSERT_EQ(stored.status, 200);
  EXPECT_EQ(OptimizeHeader(stored.headers), "");
  bool ok = false;
  const Json::Value document = Parse(stored.body, ok);
  ASSERT_TRUE(ok) << stored.body.substr(0, 200);
  // Every member of a full report is there with its JSON type, and nothing else.
  std::ifstream in(KESTREL_TESTDATA_DIR "/reports/full_report.json", std::ios::binary);
  const Json::Value full = Parse({std::istreambuf_iterator<char>(in), {}}, ok);
  ASSERT_TRUE(ok);
  for (const std::string& name : full.getMemberNames()) {
    ASSERT_TRUE(document.isMember(name)) << name;
    EXPECT_EQ(document[name].type() == Json::stringValue, full[name].type() == Json::stringValue)
        << name;
    EXPECT_EQ(document[name].isArray(), full[name].isArray()) << name;
  }
  EXPECT_EQ(document.size(), full.size());

  // The DNS update is a PUT the server accepts for that number: the state is recorded.
  ASSERT_EQ(UploadDNSJsonData(&error), 1) << error.code;
  stored = Http("/_test/report/" + number, false);
  ASSERT_EQ(stored.status, 200);
  EXPECT_EQ(OptimizeHeader(stored.headers), "0");
  EXPECT_EQ(Http("/_test/report/1" + number, false).status, 404);
}

TEST_F(ReportUploadDllTest, EachAnswerOfTheServerGivesItsResult) {
  const std::string number = Upload();
  ASSERT_EQ(number.size(), 12u);
  const struct {
    const char* mode;
    int returned;  // of both exports
    int code;      // left in the error on failure
    const char* message;
  } cases[] = {
      {"code201", 0, 2, "添加失败"},
      // An unknown code counts as success and keeps the number of the last upload.
      {"unknowncode", 1, -1, "untouched"},
      // Without {"code": to start from, the answer is read from its status line on, which no
      // JSON reader accepts.
      {"nocode", 0, 0, "解析失败"},
      {"notjson", 0, 0, "解析失败"},
      {"drop", 0, 4, "CURL上传失败"},
      // Cut off once the answer passes its limit.
      {"endless", 0, 4, "CURL上传失败"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.mode);
    ASSERT_TRUE(Control(std::string("/_test/set?report.mode=") + c.mode));
    wchar_t buffer[kNumberBuffer] = L"unchanged";
    ProbeError error{-1, "untouched"};
    EXPECT_EQ(UploadJsonData(buffer, &error), c.returned);
    EXPECT_EQ(error.code, c.code);
    EXPECT_EQ(error.message, c.message);
    EXPECT_EQ(Narrow(buffer), c.returned == 1 ? number : "unchanged");

    ProbeError dnsError{-1, "untouched"};
    EXPECT_EQ(UploadDNSJsonData(&dnsError), c.returned);
    EXPECT_EQ(dnsError.code, c.code);
    EXPECT_EQ(dnsError.message, c.message);
    ASSERT_TRUE(Control("/_test/reset"));
  }
  // Back to normal: the number still names the stored report, which the DNS update finds.
  ProbeError error;
  EXPECT_EQ(UploadDNSJsonData(&error), 1) << error.code;
  EXPECT_EQ(OptimizeHeader(Http("/_test/report/" + number, false).headers), "0");
}

}  // namespace
}  // namespace kestrel::test
