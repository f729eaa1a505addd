// The DNS change: the netsh commands built, the output rule, refused names and addresses, the
// marker and the optimisation flag.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/ipv4.h"
#include "dll/dns_setting.h"
#include "support/fake_machine.h"

namespace kestrel::test {
namespace {

// netsh as a test scripts it: every command recorded, each answered with `output`.
class ScriptedNetsh : public netprobe::ICommandRunner {
 public:
  int RunCommand(const std::wstring& command, std::string& out) override {
    calls.push_back(std::string(command.begin(), command.end()));  // ASCII in these tests
    if (!starts) {
      return 0;
    }
    out += output;
    return 1;
  }
  int LaunchCommand(const std::wstring&, int) override { return 0; }
  std::vector<std::string> calls;
  std::string output;
  bool starts = true;
};

class DnsSettingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    machine_.adapters.adapters = {{L"Realtek PCIe GbE Family Controller", L"Ethernet"},
                                  {L"Intel(R) Wi-Fi 6 AX201", L"WLAN"}};
    netprobe::Platform platform = machine_.platform();
    platform.commands = &netsh_;
    engine_ = std::make_unique<netprobe::ProbeEngine>(platform);
  }
  int Set(const std::vector<std::string>& addresses, ProbeError& error,
          const std::string& adapter = "Realtek PCIe GbE") {
    return netprobe::SetAdapterDns(*engine_, {adapter, addresses}, &error);
  }
  bool MarkerWritten() const {
    const auto found = machine_.files.writtenAt.find(L"C:\\ProgramData\\DnsOptimize.txt");
    return found != machine_.files.writtenAt.end() && found->second == "QZR\n";
  }

  FakeMachine machine_{"connected-zh", 936};
  ScriptedNetsh netsh_;
  std::unique_ptr<netprobe::ProbeEngine> engine_;
};

TEST_F(DnsSettingTest, CommandsForEachNumberOfAddresses) {
  const std::string set = "netsh interface ip set dns name=\"Ethernet\" source=static addr=";
  const std::string add = "netsh interface ip add dnsservers name=\"Ethernet\" addr=";
  struct Case {
    std::vector<std::string> addresses;
    std::vector<std::string> commands;
  };
  const std::vector<Case> cases = {
      {{}, {}},
      {{"223.5.5.5"}, {set + "223.5.5.5 validate=no"}},
      {{"223.5.5.5", "192.168.1.1"},
       {set + "223.5.5.5 validate=no", add + "192.168.1.1 index=2 validate=no"}},
      {{"223.5.5.5", "192.168.1.1", "114.114.114.114"},
       {set + "223.5.5.5 validate=no", add + "192.168.1.1 index=2 validate=no",
        add + "114.114.114.114 index=2 validate=no"}},
  };
  for (const Case& c : cases) {
    netsh_.calls.clear();
    machine_.files.writtenAt.clear();
    SeedRecords(*engine_, [&](netprobe::ProbeRecords& r) { r.dnsTestInfo.optimize = 0; });
    ProbeError error;
    EXPECT_EQ(Set(c.addresses, error), 1);
    EXPECT_EQ(netsh_.calls, c.commands);
    EXPECT_TRUE(MarkerWritten());
    EXPECT_EQ(engine_->records().dnsTestInfo.optimize, 1);
    EXPECT_EQ(error.code, 0);
  }
}

TEST_F(DnsSettingTest, OutputOfThreeCharactersSucceedsFourFail) {
  struct Case {
    std::string output;
    int result;
  };
  for (const Case& c : std::vector<Case>{{"", 1}, {"\r\n", 1}, {"ok\n", 1}, {"err\n", 0}}) {
    netsh_.output = c.output;
    machine_.files.writtenAt.clear();
    SeedRecords(*engine_, [&](netprobe::ProbeRecords& r) { r.dnsTestInfo.optimize = 0; });
    ProbeError error;
    EXPECT_EQ(Set({"223.5.5.5", "1.1.1.1"}, error), c.result) << c.output.size();
    EXPECT_EQ(MarkerWritten(), c.result == 1);
    EXPECT_EQ(engine_->records().dnsTestInfo.optimize, c.result);
    if (c.result == 0) {
      EXPECT_EQ(error.code, 3);
      EXPECT_EQ(error.message, "设置DNS失败");
      EXPECT_EQ(netsh_.calls.size(), 1u) << "stops at the failing command";
    }
    netsh_.calls.clear();
  }
}

TEST_F(DnsSettingTest, FailuresAndTheirCodes) {
  ProbeError error;
  EXPECT_EQ(Set({"223.5.5.5"}, error, "No Such Adapter"), 0);
  EXPECT_EQ(error.code, 1);
  EXPECT_EQ(error.message, "获取网络适配器名称失败");
  netsh_.starts = false;
  EXPECT_EQ(Set({"223.5.5.5"}, error), 0);
  EXPECT_EQ(error.code, 2);
  EXPECT_EQ(error.message, "设置DNS失败");
  EXPECT_FALSE(MarkerWritten());
  EXPECT_EQ(engine_->records().dnsTestInfo.optimize, 0);
}

TEST_F(DnsSettingTest, SecondAdapterUnknownLeavesTheFirstChangedAndNoMarker) {
  ProbeError error;
  const std::vector<DnsSettingRequest> requests = {{"Realtek", {"223.5.5.5"}},
                                                   {"Missing", {"223.5.5.5"}}};
  EXPECT_EQ(netprobe::SetAdaptersDns(*engine_, requests, &error), 0);
  EXPECT_EQ(error.code, 1);
  EXPECT_EQ(netsh_.calls.size(), 1u);
  EXPECT_FALSE(MarkerWritten());
  EXPECT_EQ(engine_->records().dnsTestInfo.optimize, 0);
  EXPECT_EQ(netprobe::SetAdaptersDns(*engine_, {}, &error), 1);
  EXPECT_TRUE(MarkerWritten());
  EXPECT_EQ(engine_->records().dnsTestInfo.optimize, 1);
}

TEST_F(DnsSettingTest, HostileNamesAndAddressesAreRefusedBeforeAnyCommand) {
  const std::vector<std::wstring> names = {L"Eth\"ernet", L"Eth%PATH%", L"Eth\r\nnet",
                                           L"Eth\nnet",   L"Eth\tnet",  L"Eth\x7Fnet"};
  for (const std::wstring& name : names) {
    machine_.adapters.adapters = {{L"Realtek", name}};
    netsh_.calls.clear();
    ProbeError error;
    EXPECT_EQ(Set({"223.5.5.5"}, error, "Realtek"), 0);
    EXPECT_EQ(error.code, 2);
    EXPECT_TRUE(netsh_.calls.empty());
  }
  machine_.adapters.adapters = {{L"Realtek", L"Ethernet"}};
  for (const char* address : {"223.5.5.5 & calc", "1.2.3", "1.2.3.4.5", "256.1.1.1", "01.2.3.4",
                              "1.2.3.4\"", "", "::1", " 1.2.3.4"}) {
    netsh_.calls.clear();
    ProbeError error;
    EXPECT_EQ(Set({"223.5.5.5", address}, error, "Realtek"), 0) << address;
    EXPECT_EQ(error.code, 2);
    EXPECT_TRUE(netsh_.calls.empty()) << address;
  }
  // Characters cmd reads as operators are harmless inside the quotes: they pass.
  machine_.adapters.adapters = {{L"Realtek", L"Eth & | ^ < > ( ) !"}};
  ProbeError error;
  EXPECT_EQ(Set({"223.5.5.5"}, error, "Realtek"), 1);
}

TEST(Ipv4Test, DottedFormOnly) {
  for (const char* good : {"0.0.0.0", "255.255.255.255", "114.114.114.114", "10.0.0.1"}) {
    EXPECT_TRUE(netprobe::IsDottedIPv4(good)) << good;
  }
  for (const char* bad : {"", "1.2.3", "1.2.3.4.", ".1.2.3", "1..2.3", "1.2.3.256", "1.2.3.0004",
                          "1.2.3.4 ", "a.b.c.d", "1.2.3.-4", "00.1.2.3"}) {
    EXPECT_FALSE(netprobe::IsDottedIPv4(bad)) << bad;
  }
}

}  // namespace
}  // namespace kestrel::test
