// The DNS test, the router delay and the LAN count of the real NetProbe.dll: simulated tools
// answer from the profile, the stand-in iphlpapi.dll gives the profile's adapter table, and the
// optimisation marker lies in the all-users folder of the Wine prefix.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "NetProbe.h"
#include "support/offline_export.h"
#include "support/records.h"
#include "support/simulated_machine.h"

namespace kestrel::test {
namespace {

// DnsOptimize.txt in the all-users data folder, present for the lifetime of this object.
class Marker {
 public:
  explicit Marker(bool present) {
    wchar_t folder[MAX_PATH] = {};
    GetEnvironmentVariableW(L"ProgramData", folder, MAX_PATH);
    path_ = std::wstring(folder) + L"\\DnsOptimize.txt";
    DeleteFileW(path_.c_str());
    if (present) {
      const HANDLE file = CreateFileW(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
      EXPECT_NE(file, INVALID_HANDLE_VALUE);
      CloseHandle(file);
    }
  }
  ~Marker() { DeleteFileW(path_.c_str()); }
  Marker(const Marker&) = delete;
  Marker& operator=(const Marker&) = delete;

 private:
  std::wstring path_;
};

void ReadAdapters() {
  const std::vector<NetworkCardSummary>* cards = nullptr;
  ProbeError error;
  ASSERT_EQ(GetLanAndWlanNetworkCardInfo(&cards, &error), 1) << error.code;
}

const char kRealtek[] = "Realtek PCIe GbE Family Controller";
const char kUsb[] = "Realtek USB GbE Family Controller";

struct DnsCase {
  const char* profile;
  bool marker;
  std::vector<std::string> entries;
  std::vector<std::string> commands;  // after the presence ping
};

std::vector<DnsCase> DnsCasesOfThisLocale() {
  if (!ChineseSystem()) {
    return {{"laptop-en",
             true,
             {"Intel(R) Wireless-AC 9560 160MHz|10.0.0.23|10.0.0.1 0/0/0 0|"
              "114.114.114.114 0/0/0 0, 223.5.5.5 0/0/0 0",
              "optimize=0"},
             {"wmic NICCONFIG list full", "ping 10.0.0.1 -S 10.0.0.23",
              "ping 114.114.114.114 -S 10.0.0.23", "ping 223.5.5.5 -S 10.0.0.23",
              "netsh interface ip show dnsserver"}}};
  }
  const std::string twoWired = std::string(kUsb) +
                               "|192.168.0.7|114.114.114.114 7/9/8 0, 192.168.0.1 1/1/1 0|"
                               "114.114.114.114 7/9/8 0, 223.5.5.5 5/7/6 0";
  // The first adapter has only IPv6 DNS servers: no ping, but its optimisation check runs.
  const std::vector<std::string> twoWiredCommands = {"wmic NICCONFIG list full",
                                                     "netsh interface ip show dnsserver",
                                                     "ping 114.114.114.114 -S 192.168.0.7",
                                                     "ping 192.168.0.1 -S 192.168.0.7",
                                                     "ping 114.114.114.114 -S 192.168.0.7",
                                                     "ping 223.5.5.5 -S 192.168.0.7",
                                                     "netsh interface ip show dnsserver"};
  return {
      // DHCP-assigned DNS: the marker alone does not count.
      {"desktop-zh",
       true,
       {std::string(kRealtek) + "|192.168.1.5|192.168.1.1 1/3/2 0, 202.96.134.133 9/12/10 1|"
                                "114.114.114.114 6/8/7 0, 223.5.5.5 5/6/5 0",
        "optimize=0"},
       {"wmic NICCONFIG list full", "ping 192.168.1.1 -S 192.168.1.5",
        "ping 202.96.134.133 -S 192.168.1.5", "ping 114.114.114.114 -S 192.168.1.5",
        "ping 223.5.5.5 -S 192.168.1.5", "netsh interface ip show dnsserver"}},
      // The second adapter's static DNS, named by the stand-in adapter table, and the marker.
      {"two-wired-zh", true, {twoWired, "optimize=1"}, twoWiredCommands},
      {"two-wired-zh", false, {twoWired, "optimize=0"}, twoWiredCommands},
  };
}

TEST(NetworkDllTest, DnsTestOnTheSimulatedMachines) {
  for (const DnsCase& c : DnsCasesOfThisLocale()) {
    SimulatedMachine adapters(c.profile);
    ReadAdapters();
    Marker marker(c.marker);
    SimulatedMachine machine(c.profile);
    const DnsTestInfo* info = nullptr;
    ProbeError error;
    ASSERT_EQ(GetDNSTestnfo(&info, &error), 1) << c.profile << machine.Transcript();
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(Describe(*info), c.entries) << c.profile << (c.marker ? " with marker" : "");
    std::vector<std::string> expected = PresencePings(1);
    expected.insert(expected.end(), c.commands.begin(), c.commands.end());
    EXPECT_EQ(machine.Calls(), expected) << c.profile;
    EXPECT_EQ(error.code, 0);
  }
  SimulatedMachine machine("offline-zh");
  ExpectRefusedOffline(GetDNSTestnfo);
  ExpectOnlyPings(machine.Calls());
}

TEST(NetworkDllTest, RouterDelayAfterTheDnsTest) {
  struct Case {
    const char* profile;
    std::vector<std::string> wired;
    std::vector<std::string> wireless;
  };
  std::vector<Case> cases;
  if (ChineseSystem()) {
    cases.push_back(
        {"desktop-zh", {std::string(kRealtek) + "|192.168.1.5|192.168.1.1|1/4/2|0|80"}, {}});
    // No gateway: a ping without target; a gateway losing all ten.
    cases.push_back({"two-wired-zh",
                     {"Intel(R) Ethernet Connection (2) I219-LM|192.168.10.8||0/0/0|0|80",
                      std::string(kUsb) + "|192.168.0.7|192.168.0.1|0/0/0|10|20"},
                     {}});
  } else {
    cases.push_back(
        {"laptop-en", {}, {"Intel(R) Wireless-AC 9560 160MHz|10.0.0.23|10.0.0.1|0/0/0|0|80"}});
  }
  for (const Case& c : cases) {
    SimulatedMachine machine(c.profile);
    ReadAdapters();
    const DnsTestInfo* dns = nullptr;
    ProbeError error;
    ASSERT_EQ(GetDNSTestnfo(&dns, &error), 1) << c.profile;
    const std::vector<RouterDelayEntry>* wired = nullptr;
    ASSERT_EQ(GetHostToRouterDelayInfo(&wired, &error), 1) << c.profile << machine.Transcript();
    ASSERT_NE(wired, nullptr);
    EXPECT_EQ(Describe(*wired), c.wired) << c.profile;
    // The wireless list follows the wired one in the engine, reached through its pointer.
    EXPECT_EQ(Describe(*(wired + 1)), c.wireless) << c.profile;
    const std::vector<std::string> calls = machine.Calls();
    EXPECT_EQ(std::count_if(calls.begin(), calls.end(),
                            [](const std::string& call) {
                              return call.size() > 6 &&
                                     call.compare(call.size() - 6, 6, " -n 10") == 0;
                            }),
              static_cast<long>(c.wired.size() + c.wireless.size()))
        << machine.Transcript();
  }
}

// Sweep pings of one prefix in the transcript, each address 0 to 255 once.
bool SweptOnce(const std::vector<std::string>& calls, const std::string& prefix) {
  for (int n = 0; n < 256; ++n) {
    const std::string command = "ping " + prefix + std::to_string(n) + " -n 1";
    if (std::count(calls.begin(), calls.end(), command) != 1) {
      return false;
    }
  }
  return true;
}

TEST(NetworkDllTest, LanSweepRunsAllPingsAndReturns) {
  struct Case {
    const char* profile;
    const char* prefix;
    std::vector<std::string> wired;
    std::vector<std::string> wireless;
  };
  // One sweep per locale: under Wine each of the 256 pings is a cmd and a tool process.
  Case c{"laptop-en",
         "10.0.0.",
         {},
         {"Intel(R) Wireless-AC 9560 160MHz|10.0.0.1 10.0.0.12 10.0.0.31 10.0.0.40|40"}};
  if (ChineseSystem()) {
    c = {"desktop-zh", "192.168.1.", {std::string(kRealtek) + "|192.168.1.1 192.168.1.20|60"}, {}};
  }
  SimulatedMachine machine(c.profile);
  ReadAdapters();
  const DnsTestInfo* dns = nullptr;
  ProbeError error;
  ASSERT_EQ(GetDNSTestnfo(&dns, &error), 1);
  const std::size_t before = machine.Calls().size();

  const auto start = std::chrono::steady_clock::now();
  const std::vector<LanDevicesEntry>* wired = nullptr;
  ASSERT_EQ(GetNumberLanDevices(&wired, &error), 1) << error.code << machine.Transcript();
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("one LAN sweep (256 pings) and arp under Wine: %.1f s\n", seconds);

  ASSERT_NE(wired, nullptr);
  EXPECT_EQ(Describe(*wired), c.wired);
  EXPECT_EQ(Describe(*(wired + 1)), c.wireless);
  // A ping that could not be started, even when tried again, is counted beside the devices.
  int unswept = 0;
  for (const std::vector<LanDevicesEntry>* entries : {wired, wired + 1}) {
    for (const LanDevicesEntry& entry : *entries) {
      unswept += entry.unsweptAddresses;
    }
  }
  EXPECT_EQ(unswept, 0);
  const std::vector<std::string> all = machine.Calls();
  const std::vector<std::string> calls(all.begin() + static_cast<long>(before), all.end());
  // The presence ping, the 256 sweep pings in any order, then arp.
  ASSERT_EQ(calls.size(), 1u + 256u + 1u) << unswept << " addresses unswept";
  EXPECT_EQ(calls.front(), PresencePings(1).front());
  EXPECT_TRUE(SweptOnce(calls, c.prefix));
  EXPECT_EQ(calls.back(), "arp -a");
}

}  // namespace
}  // namespace kestrel::test
