// UsageLink's portable core over fixed code pages and recorded listings.
#include <gtest/gtest.h>
#include <json/json.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "core/response_buffer.h"
#include "device/device_listing.h"
#include "device/process_tree.h"
#include "kestrel/codepage.h"
#include "shell/web_address.h"
#include "version/version_answer.h"

namespace usagelink {
namespace {

const kestrel::ICodePage& Chinese() {
  static const std::unique_ptr<kestrel::ICodePage> pages = kestrel::MakeFixedCodePage(936, 936);
  return *pages;
}

std::string Recording(const std::string& name) {
  std::ifstream in(std::string(KESTREL_TESTDATA_DIR) + "/outputs/host/" + name, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

struct AnswerCase {
  const char* name;
  const char* answer;
  int code;
  bool hasAddress;
  const char* address;
};

TEST(VersionAnswer, ReadsTheCodeAndTheAddressOfANewerVersion) {
  const AnswerCase cases[] = {
      {"newer",
       "HTTP/1.1 202 Accepted\r\nContent-Type: application/json\r\n\r\n"
       "{\"code\":202,\"data\":\"http://127.0.0.1/d/Lessora.exe\"}",
       202, true, "http://127.0.0.1/d/Lessora.exe"},
      {"current", "HTTP/1.1 200 OK\r\n\r\n{\"code\":200,\"data\":\"http://x/\"}", 200, false, ""},
      {"comments allowed", "{ // the answer\n \"code\": 202, \"data\": \"u\" }", 202, true, "u"},
      {"202 without text data", "{\"code\":202,\"data\":5}", 202, false, ""},
      {"fraction", "{\"code\":202.0}", 0, false, ""},
      {"text code", "{\"code\":\"202\"}", 0, false, ""},
      {"beyond int", "{\"code\":4294967298}", 0, false, ""},
      {"negative", "{\"code\":-7}", -7, false, ""},
      {"no brace", "HTTP/1.1 500 Oops\r\n\r\nnot json", 0, false, ""},
      {"broken json", "{\"code\":202,", 0, false, ""},
      {"from the first brace", "HTTP/1.1 200 OK\r\n\r\n[{\"code\":202}]", 202, false, ""},
      {"empty", "", 0, false, ""},
  };
  for (const AnswerCase& c : cases) {
    const VersionAnswer answer = ReadVersionAnswer(c.answer, Chinese());
    EXPECT_EQ(answer.code, c.code) << c.name;
    EXPECT_EQ(answer.hasAddress, c.hasAddress) << c.name;
    EXPECT_EQ(answer.address, c.address) << c.name;
  }
}

// Our server's answers as libcurl delivers them, header first (testdata/version/).
TEST(VersionAnswer, ReadsTheServersRecordedAnswers) {
  const AnswerCase cases[] = {
      {"answer-current.txt", "", 200, false, ""},
      {"answer-newer.txt", "", 202, true, "http://127.0.0.1:20580/download"},
      // 下载 in GBK.
      {"answer-newer-chinese-address.txt", "", 202, true,
       "http://127.0.0.1:20580/\xcf\xc2\xd4\xd8/Lessora.exe"},
      {"answer-not-json.txt", "", 0, false, ""},
      {"answer-fraction.txt", "", 0, false, ""},
      {"answer-text-code.txt", "", 0, false, ""},
      {"answer-bad-version.txt", "", 400, false, ""},
  };
  for (const AnswerCase& c : cases) {
    std::ifstream in(std::string(KESTREL_TESTDATA_DIR) + "/version/" + c.name, std::ios::binary);
    std::ostringstream recorded;
    recorded << in.rdbuf();
    ASSERT_FALSE(recorded.str().empty()) << c.name;
    const VersionAnswer answer = ReadVersionAnswer(recorded.str(), Chinese());
    EXPECT_EQ(answer.code, c.code) << c.name;
    EXPECT_EQ(answer.hasAddress, c.hasAddress) << c.name;
    EXPECT_EQ(answer.address, c.address) << c.name;
  }
}

TEST(VersionAnswer, ChineseDataArrivesInTheAnsiCodePage) {
  const VersionAnswer answer =
      ReadVersionAnswer("{\"code\":202,\"data\":\"http://h/\xe4\xb8\x8b\xe8\xbd\xbd\"}", Chinese());
  EXPECT_EQ(answer.address, "http://h/\xcf\xc2\xd4\xd8");  // 下载 in GBK
}

TEST(RequestBodies, AllSevenMembersGoOutAsUtf8EvenWhenEmpty) {
  StatisticsFields fields;
  fields.status = "\xcd\xcb\xb3\xf6";  // 退出 in GBK
  const std::string body = StatisticsBody(fields, Chinese());
  Json::Value root;
  std::istringstream in(body);
  in >> root;
  const std::vector<std::string> members = {"id",      "versions",    "status",      "datetime",
                                            "PcModel", "Manufacture", "SerialNumber"};
  EXPECT_EQ(root.getMemberNames().size(), members.size());
  for (const std::string& member : members) {
    EXPECT_TRUE(root[member].isString()) << member;
  }
  EXPECT_EQ(root["status"].asString(), "\xe9\x80\x80\xe5\x87\xba");
  EXPECT_NE(body.find('\n'), std::string::npos);  // the indented form

  const std::string version = VersionBody("10090", "2.1.20.928", Chinese());
  std::istringstream versionIn(version);
  versionIn >> root;
  EXPECT_EQ(root["id"].asString(), "10090");
  EXPECT_EQ(root["versions"].asString(), "2.1.20.928");
}

TEST(ResponseBuffer, KeepsBelowOneMebibyteAndDropsAChunkThatWouldReachIt) {
  auto buffer = std::make_unique<ResponseBuffer>();
  buffer->Clear();
  const std::string chunk(ResponseBuffer::kCapacity / 4, 'a');
  EXPECT_TRUE(buffer->Append(chunk.data(), chunk.size()));
  EXPECT_TRUE(buffer->Append(chunk.data(), chunk.size()));
  EXPECT_TRUE(buffer->Append(chunk.data(), chunk.size()));
  EXPECT_FALSE(buffer->Append(chunk.data(), chunk.size()));  // would reach 1 MiB exactly
  EXPECT_TRUE(buffer->Append(chunk.data(), chunk.size() - 1));
  EXPECT_EQ(buffer->size(), ResponseBuffer::kCapacity - 1);
  EXPECT_FALSE(buffer->Append("b", 1));
  EXPECT_FALSE(buffer->Append("b", static_cast<std::size_t>(-1)));  // no wrap-around
  EXPECT_EQ(buffer->Text().data()[buffer->size()], '\0');
  buffer->Clear();
  EXPECT_EQ(buffer->size(), 0u);
}

struct ListingCase {
  const char* recording;
  const char* model;
  const char* maker;
  const char* serial;
};

TEST(DeviceListing, ReadsTheKeysInOrderWithTheModelFromVersion) {
  const ListingCase cases[] = {
      {"zh-desktop-tarvos.txt", "QiXing M720t-N000", "TARVOS", "PC1K7Q2M"},
      {"en-laptop-dell.txt", "", "Dell Inc.", "7HQK8R2"},
      {"en-laptop-tarvos-lowercase.txt", "TravelBook T14 Gen 2i", "tarvos", "PF2W9XKD"},
      {"en-desktop-tarvos-no-version.txt", "old", "TARVOS", "MJ0A3B7C"},
      {"en-no-instances.txt", "old", "old", "old"},
  };
  for (const ListingCase& c : cases) {
    DeviceFields fields{"old", "old", "old"};
    ParseDeviceListing(Recording(c.recording), fields);
    EXPECT_EQ(fields.pcModel, c.model) << c.recording;
    EXPECT_EQ(fields.manufacture, c.maker) << c.recording;
    EXPECT_EQ(fields.serialNumber, c.serial) << c.recording;
  }
}

TEST(DeviceListing, KeysBeforeTheSerialNumberAreNotFoundAndALastLineCounts) {
  DeviceFields fields{"m", "v", "s"};
  ParseDeviceListing("Version=X\r\nVendor=Y\r\nIdentifyingNumber=  Z ", fields);
  EXPECT_EQ(fields.serialNumber, "Z");
  EXPECT_EQ(fields.manufacture, "v");
  EXPECT_EQ(fields.pcModel, "m");
}

TEST(WebAddress, OnlyPlainWebAddressesOpen) {
  const char* allowed[] = {"http://127.0.0.1:20380/download/Lessora.exe",
                           "https://www.lessora.cn/d?v=2.1&x=%22", "HTTP://Example.cn/"};
  for (const char* address : allowed) {
    EXPECT_TRUE(IsPlainWebAddress(address)) << address;
  }
  const char* hostile[] = {
      "",
      "C:\\Windows\\System32\\calc.exe",
      "calc.exe",
      "file:///C:/Windows/System32/cmd.exe",
      "\\\\evil\\share\\setup.exe",
      "ftp://evil/setup.exe",
      "javascript:alert(1)",
      "ms-settings:",
      "mailto:a@b.cn",
      "http:evil",
      "http://",
      "http:///C:/Windows/cmd.exe",
      "http://\\\\evil\\share",
      "http://a/\" & calc & \"",
      "http://a/'x'",
      "http://a/\r\nb",
      "http://a/\tb",
      "https://a/b c",
      " http://a/",
      "httpx://a/",
  };
  for (const char* address : hostile) {
    EXPECT_FALSE(IsPlainWebAddress(address)) << address;
  }
}

struct TreeCase {
  const char* name;
  std::vector<ProcessEntry> all;
  std::vector<std::uint32_t> shells;  // in list order
};

// The runner's child is process 10, created at time 100.
TEST(ProcessTree, TheStopTakesTheShellsBelowTheChildOnly) {
  const TreeCase cases[] = {
      {"shells below shells, a tool between them",
       {{10, 1, 100, L"cmd.exe"},
        {11, 10, 110, L"cmd.exe"},
        {12, 11, 120, L"sleeper.exe"},
        {13, 12, 130, L"powershell.exe"}},
       {10, 11, 13}},
      {"siblings and strangers are left",
       {{9, 1, 90, L"cmd.exe"}, {10, 1, 100, L"cmd.exe"}, {20, 9, 200, L"powershell.exe"}},
       {10}},
      // Process 10's id once named another process: one started before the child is no child.
      {"a parent id older than the child",
       {{30, 10, 50, L"cmd.exe"}, {10, 1, 100, L"cmd.exe"}, {31, 30, 60, L"powershell.exe"}},
       {10}},
      {"created in the same tick as the parent",
       {{10, 1, 100, L"cmd.exe"}, {11, 10, 100, L"cmd.exe"}},
       {10, 11}},
      {"names are matched exactly",
       {{10, 1, 100, L"CMD.EXE"}, {11, 10, 110, L"cmd"}, {12, 10, 120, L"powershell.exe "}},
       {}},
      // Without a creation time nothing can be told apart (nor ended).
      {"no time for the child", {{10, 1, 0, L"cmd.exe"}, {11, 10, 110, L"cmd.exe"}}, {}},
      {"no time for a descendant",
       {{10, 1, 100, L"cmd.exe"}, {11, 10, 0, L"cmd.exe"}, {12, 11, 120, L"cmd.exe"}},
       {10}},
      {"the child gone", {{11, 10, 110, L"cmd.exe"}}, {}},
      {"a parent loop ends", {{10, 11, 100, L"cmd.exe"}, {11, 10, 110, L"cmd.exe"}}, {10, 11}},
  };
  for (const TreeCase& c : cases) {
    EXPECT_EQ(OwnShells(c.all, 10), c.shells) << c.name;
  }
}

}  // namespace
}  // namespace usagelink
