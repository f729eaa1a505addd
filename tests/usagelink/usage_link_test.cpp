// The library object over a fake server, fake command runner and fake browser.
#include "dll/usage_link.h"

#include <gtest/gtest.h>
#include <json/json.h>

#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace usagelink {
namespace {

struct FakeHttp final : IHttpPost {
  bool Post(const std::string& url, const std::string& body, ResponseBuffer& answer) override {
    urls.push_back(url);
    bodies.push_back(body);
    if (!ok) {
      return false;
    }
    for (std::size_t at = 0; at < reply.size(); at += 16384) {  // libcurl-sized chunks
      const std::string chunk = reply.substr(at, 16384);
      answer.Append(chunk.data(), chunk.size());
    }
    return true;
  }
  bool ok = true;
  std::string reply;
  std::vector<std::string> urls, bodies;
};

struct FakeOp final : ICommandOp {
  FakeOp(const std::string* print, const std::map<std::string, std::string>* byCommand)
      : print_(print), byCommand_(byCommand) {}
  bool Run(const std::string& command, Sink sink) override {
    commands.push_back(command);
    const auto own = byCommand_->find(command);
    const std::string* print = own != byCommand_->end() ? &own->second : print_;
    if (print != nullptr && !print->empty()) {
      sink(print->data(), print->size());
    }
    if (later_ != nullptr && !later_->empty()) {
      *pending_ = std::move(sink);  // the later chunks come while the caller pauses
    }
    return true;
  }
  bool Finished() override { return later_ == nullptr || later_->empty(); }
  void Stop() override { ++stops; }
  const std::string* print_;
  const std::map<std::string, std::string>* byCommand_;
  std::vector<std::string>* later_ = nullptr;
  Sink* pending_ = nullptr;
  static inline std::vector<std::string> commands;
  static inline int stops = 0;
};

struct FakePlatform final : IPlatform {
  std::unique_ptr<ICommandOp> MakeCommandOp() override {
    auto op = std::make_unique<FakeOp>(&listing, &listings);
    op->later_ = &later;
    op->pending_ = &pending;
    return op;
  }
  void OpenInBrowser(const std::wstring& address) override { opened.push_back(address); }
  void SleepMilliseconds(unsigned milliseconds) override {
    slept += milliseconds;
    if (!later.empty() && pending) {
      const std::string chunk = later.front();
      later.erase(later.begin());
      if (!chunk.empty()) {
        pending(chunk.data(), chunk.size());
      }
    }
  }
  // Chunks the running command prints, one per pause of the caller ("" prints nothing then);
  // the command has ended once they are all printed.
  std::vector<std::string> later;
  ICommandOp::Sink pending;
  std::string listing;                          // what any command prints
  std::map<std::string, std::string> listings;  // what a given command prints instead
  std::vector<std::wstring> opened;
  unsigned slept = 0;
};

class UsageLinkTest : public ::testing::Test {
 protected:
  UsageLinkTest() : link_(http_, platform_, *pages_, "127.0.0.1:20380") {
    FakeOp::commands.clear();
    FakeOp::stops = 0;
  }
  std::unique_ptr<kestrel::ICodePage> pages_ = kestrel::MakeFixedCodePage(936, 936);
  FakeHttp http_;
  FakePlatform platform_;
  UsageLink link_;
};

TEST_F(UsageLinkTest, NewerVersionKeepsTheAddressWhichTheDownloadPageOpens) {
  http_.reply = "HTTP/1.1 202 Accepted\r\n\r\n{\"code\":202,\"data\":\"http://127.0.0.1/get\"}";
  EXPECT_EQ(link_.VersionGet({"10090", "2.1.20.928"}), 202);
  EXPECT_EQ(http_.urls.back(), "http://127.0.0.1:20380/Home/tool/version");
  http_.reply = "HTTP/1.1 200 OK\r\n\r\n{\"code\":200,\"data\":\"http://other/\"}";
  EXPECT_EQ(link_.VersionGet({"10090", "2.1.20.928"}), 200);
  EXPECT_EQ(link_.downloadAddress(), "http://127.0.0.1/get");
  link_.OpenToolDownUrl();
  EXPECT_EQ(platform_.opened, std::vector<std::wstring>{L"http://127.0.0.1/get"});
  http_.ok = false;
  EXPECT_EQ(link_.VersionGet({"10090", "2.1.20.928"}), 0);
}

TEST_F(UsageLinkTest, HostileDownloadAddressesOpenNothing) {
  for (const char* data : {"file:///C:/Windows/System32/cmd.exe", "C:\\\\x.exe",
                           "\\\\\\\\evil\\\\s", "http://a/\\\" & calc"}) {
    http_.reply = std::string("{\"code\":202,\"data\":\"") + data + "\"}";
    EXPECT_EQ(link_.VersionGet({"10090", "1"}), 202) << data;
    link_.OpenToolDownUrl();
  }
  EXPECT_TRUE(platform_.opened.empty());
}

TEST_F(UsageLinkTest, AnAnswerOverOneMebibyteIsCutNotOverrun) {
  http_.reply = "{\"code\":202,\"data\":\"http://h/" + std::string(2 * 1024 * 1024, 'a') + "\"}";
  // Chunks that would reach 1 MiB are dropped; the short last one still fits and closes the
  // JSON, so the answer reads, with an address cut to what the buffer held.
  EXPECT_EQ(link_.VersionGet({"10090", "1"}), 202);
  EXPECT_LT(link_.downloadAddress().size(), ResponseBuffer::kCapacity);
  EXPECT_GT(link_.downloadAddress().size(), ResponseBuffer::kCapacity - 16384 - 40);
}

TEST_F(UsageLinkTest, StatisticGoesToItsPathAndReportsTheTransfer) {
  EXPECT_TRUE(link_.OperationResponse(
      {"10090", "2026-12-08 10:00:00", "2.1.20.928", "1", "M720t", "TARVOS", "PC1"}));
  EXPECT_EQ(http_.urls.back(), "http://127.0.0.1:20380/Home/tool/statistics");
  Json::Value root;
  std::istringstream(http_.bodies.back()) >> root;
  EXPECT_EQ(root["PcModel"].asString(), "M720t");
  EXPECT_EQ(root["SerialNumber"].asString(), "PC1");
  http_.ok = false;
  EXPECT_FALSE(link_.OperationResponse({}));
}

TEST_F(UsageLinkTest, DeviceIdentityFromTheListingAndTheRunnerStopped) {
  platform_.listing = "\r\r\nIdentifyingNumber=PC1\r\r\nVendor=TARVOS\r\r\nVersion=M720t\r\r\n";
  DeviceInfo info;
  link_.GetDeviceInfo(info);
  EXPECT_EQ(info.serialNumber, "PC1");
  EXPECT_EQ(info.manufacture, "TARVOS");
  EXPECT_EQ(info.pcModel, "M720t");
  EXPECT_EQ(FakeOp::commands, std::vector<std::string>{"wmic csproduct list full"});
  EXPECT_EQ(FakeOp::stops, 1);
  EXPECT_EQ(platform_.slept, 0u);
}

TEST_F(UsageLinkTest, ASilentListingGivesUpAfterTenSecondsWithFieldsUnchanged) {
  DeviceInfo info{"model", "maker", "serial"};
  link_.GetDeviceInfo(info);
  EXPECT_EQ(platform_.slept, kDeviceWaitSeconds * 1000);
  EXPECT_EQ(info.pcModel, "model");
  EXPECT_EQ(info.manufacture, "maker");
  EXPECT_EQ(info.serialNumber, "serial");
  EXPECT_EQ(FakeOp::stops, 1);
}

// A listing read in chunks, as a pipe hands over what was written so far: it is taken whole once
// the command ended, or once nothing more came for a second.
TEST_F(UsageLinkTest, AListingInChunksIsReadWhole) {
  struct Case {
    const char* name;
    std::vector<std::string> later;
    std::string serial, maker, model;
    unsigned slept;
  };
  const Case cases[] = {
      {"ends after its last line",
       {"Vendor=TARVOS\r\n", "Version=M720t\r\n"},
       "PC1",
       "TARVOS",
       "M720t",
       2000},
      {"the rest in one chunk",
       {"Vendor=TARVOS\r\nVersion=M720t\r\n"},
       "PC1",
       "TARVOS",
       "M720t",
       1000},
      {"stands still while still running", {"", "Vendor=LATE\r\n"}, "PC1", "", "", 1000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    platform_.listing = "IdentifyingNumber=PC1\r\n";
    platform_.later = c.later;
    platform_.slept = 0;
    DeviceInfo info;
    link_.GetDeviceInfo(info);
    EXPECT_EQ(info.serialNumber, c.serial);
    EXPECT_EQ(info.manufacture, c.maker);
    EXPECT_EQ(info.pcModel, c.model);
    EXPECT_EQ(platform_.slept, c.slept);
  }
}

// Without wmic, cmd's complaint answers the first listing; that and every later listing come
// from PowerShell, and wmic is not asked again.
TEST_F(UsageLinkTest, DeviceIdentityFromPowerShellWhereWmicIsGone) {
  platform_.listings[kDeviceCommand] =
      "'wmic' is not recognized as an internal or external command,\r\n";
  platform_.listings[kDeviceCimCommand] =
      "IdentifyingNumber=SN=1 x\r\nVendor=LENOVO\r\nVersion=M70q\r\n";
  for (int call = 0; call < 2; ++call) {
    DeviceInfo info;
    link_.GetDeviceInfo(info);
    EXPECT_EQ(info.serialNumber, "SN=1 x");
    EXPECT_EQ(info.manufacture, "LENOVO");
    EXPECT_EQ(info.pcModel, "M70q");
  }
  EXPECT_TRUE(link_.wmicMissing());
  EXPECT_EQ(FakeOp::commands,
            (std::vector<std::string>{kDeviceCommand, kDeviceCimCommand, kDeviceCimCommand}));
  EXPECT_EQ(FakeOp::stops, 3);
}

TEST_F(UsageLinkTest, FeedbackPageCarriesTheToolId) {
  link_.OpenFeedbackQuestion({"10090", ""});
  EXPECT_EQ(platform_.opened,
            std::vector<std::wstring>{L"http://127.0.0.1:20380/home#/suggest?id=10090"});
}

}  // namespace
}  // namespace usagelink
