// The DNS test, the router delay and the LAN count on recorded machines, after the adapter
// probe: records, commands run, failures, and that no text from tool output other than a dotted
// IPv4 address reaches a command line.
#include <gtest/gtest.h>

#include <algorithm>
#include <mutex>
#include <string>
#include <vector>

#include "NetProbe.h"
#include "core/ipv4.h"
#include "probe_fixtures.h"
#include "probes/adapters/adapter_probe.h"
#include "probes/dns/dns_probe.h"
#include "probes/lan/lan_probe.h"
#include "probes/router/router_probe.h"
#include "support/fake_machine.h"
#include "support/records.h"
#include "support/testdata.h"

namespace kestrel::test {
namespace {

struct MachineCase {
  const char* profile;
  unsigned codePage;
  bool marker;  // DnsOptimize.txt exists
  std::vector<std::string> dns;
  std::vector<std::string> routerWired;
  std::vector<std::string> routerWireless;
  std::vector<std::string> lanWired;
  std::vector<std::string> lanWireless;
};

void PrintTo(const MachineCase& c, std::ostream* os) {
  *os << c.profile << (c.marker ? " with marker" : "");
}

const char kRealtek[] = "Realtek PCIe GbE Family Controller";

const std::vector<MachineCase> kMachines = {
    {"desktop-zh",
     936,
     true,
     {std::string(kRealtek) + "|192.168.1.5|192.168.1.1 1/3/2 0, 202.96.134.133 9/12/10 1|"
                              "114.114.114.114 6/8/7 0, 223.5.5.5 5/6/5 0",
      "optimize=0"},  // DHCP DNS: the marker alone is not enough
     {std::string(kRealtek) + "|192.168.1.5|192.168.1.1|1/4/2|0|80"},
     {},
     {std::string(kRealtek) + "|192.168.1.1 192.168.1.20|60"},
     {}},
    // English ping statistics are not read: every time is 0.
    {"laptop-en",
     1252,
     true,
     {"Intel(R) Wireless-AC 9560 160MHz|10.0.0.23|10.0.0.1 0/0/0 0|"
      "114.114.114.114 0/0/0 0, 223.5.5.5 0/0/0 0",
      "optimize=0"},
     {},
     {"Intel(R) Wireless-AC 9560 160MHz|10.0.0.23|10.0.0.1|0/0/0|0|80"},
     {},
     {"Intel(R) Wireless-AC 9560 160MHz|10.0.0.1 10.0.0.12 10.0.0.31 10.0.0.40|40"}},
    // Only the second adapter has a static DNS; the first has IPv6 DNS servers and no gateway.
    {"two-wired-zh",
     936,
     true,
     {"Realtek USB GbE Family Controller|192.168.0.7|114.114.114.114 7/9/8 0, "
      "192.168.0.1 1/1/1 0|114.114.114.114 7/9/8 0, 223.5.5.5 5/7/6 0",
      "optimize=1"},
     {"Intel(R) Ethernet Connection (2) I219-LM|192.168.10.8||0/0/0|0|80",
      "Realtek USB GbE Family Controller|192.168.0.7|192.168.0.1|0/0/0|10|20"},
     {},
     {"Intel(R) Ethernet Connection (2) I219-LM||60",
      "Realtek USB GbE Family Controller|192.168.0.1 192.168.0.2 192.168.0.3 192.168.0.4 "
      "192.168.0.5 192.168.0.6 192.168.0.8 192.168.0.9 192.168.0.10 192.168.0.11 "
      "192.168.0.12|15"},
     {}},
    {"two-wired-zh",
     936,
     false,
     {"Realtek USB GbE Family Controller|192.168.0.7|114.114.114.114 7/9/8 0, "
      "192.168.0.1 1/1/1 0|114.114.114.114 7/9/8 0, 223.5.5.5 5/7/6 0",
      "optimize=0"},
     {"Intel(R) Ethernet Connection (2) I219-LM|192.168.10.8||0/0/0|0|80",
      "Realtek USB GbE Family Controller|192.168.0.7|192.168.0.1|0/0/0|10|20"},
     {},
     {"Intel(R) Ethernet Connection (2) I219-LM||60",
      "Realtek USB GbE Family Controller|192.168.0.1 192.168.0.2 192.168.0.3 192.168.0.4 "
      "192.168.0.5 192.168.0.6 192.168.0.8 192.168.0.9 192.168.0.10 192.168.0.11 "
      "192.168.0.12|15"},
     {}},
};

class NetworkTestsProbeTest : public testing::TestWithParam<MachineCase> {};

std::size_t CountCalls(const std::vector<std::wstring>& calls, const std::wstring& prefix) {
  return static_cast<std::size_t>(std::count_if(calls.begin(), calls.end(), [&](const auto& c) {
    return c.rfind(prefix, 0) == 0 && c.size() > prefix.size() + 5 &&
           c.compare(c.size() - 5, 5, L" -n 1") == 0;
  }));
}

TEST_P(NetworkTestsProbeTest, DnsThenRouterThenLan) {
  const MachineCase& c = GetParam();
  FakeMachine machine(c.profile, c.codePage);
  if (c.marker) {
    machine.files.existing.insert(L"C:\\ProgramData\\DnsOptimize.txt");
  }
  const auto engine = machine.MakeEngine();
  ProbeError error;
  ASSERT_EQ(engine->ProbeNetworkCards(&error), 1);
  ASSERT_EQ(engine->ProbeDnsTest(&error), 1);
  EXPECT_EQ(Describe(engine->records().dnsTestInfo), c.dns);

  // A second test rebuilds the record and lists each DNS server once.
  ASSERT_EQ(engine->ProbeDnsTest(&error), 1);
  EXPECT_EQ(Describe(engine->records().dnsTestInfo), c.dns);

  ASSERT_EQ(engine->ProbeRouterDelay(&error), 1);
  EXPECT_EQ(Describe(engine->records().routerDelayWired), c.routerWired);
  EXPECT_EQ(Describe(engine->records().routerDelayWireless), c.routerWireless);

  ASSERT_EQ(engine->ProbeLanDevices(&error), 1);
  EXPECT_EQ(Describe(engine->records().lanDevicesWired), c.lanWired);
  EXPECT_EQ(Describe(engine->records().lanDevicesWireless), c.lanWireless);
  EXPECT_EQ(error.code, 0);

  // Every adapter with an address got its 256 sweep pings, and only those ran as sweep pings.
  std::size_t swept = 0;
  for (const auto* cards : {&engine->records().wiredCards, &engine->records().wirelessCards}) {
    for (const NetworkCard& card : *cards) {
      if (card.ipAddress.empty()) {
        EXPECT_EQ(card.networkPrefix, "") << card.description;
        continue;
      }
      const std::wstring prefix =
          L"ping " + std::wstring(card.networkPrefix.begin(), card.networkPrefix.end());
      EXPECT_EQ(CountCalls(machine.runner.calls(), prefix), 256u) << card.description;
      for (int n : {0, 255}) {
        const std::wstring command = prefix + std::to_wstring(n) + L" -n 1";
        EXPECT_NE(std::find(machine.runner.calls().begin(), machine.runner.calls().end(), command),
                  machine.runner.calls().end());
      }
      swept += 256;
    }
  }
  EXPECT_EQ(CountCalls(machine.runner.calls(), L"ping "), swept);
  // The wait polled every 100 ms.
  for (unsigned sleep : machine.clock.sleeps) {
    EXPECT_EQ(sleep, netprobe::kSweepPollMilliseconds);
  }
}

INSTANTIATE_TEST_SUITE_P(Machines, NetworkTestsProbeTest, testing::ValuesIn(kMachines));

TEST(NetworkTestsFailureTest, CodesAndMessagesOfEachTest) {
  struct Case {
    const char* what;
    const char* profile;
    bool adapters;        // the adapter probe ran
    bool dns;             // the DNS test ran
    const wchar_t* fail;  // a command that does not start
    int routerCode;
    const char* routerMessage;
    int lanCode;
    const char* lanMessage;
  };
  const std::vector<Case> cases = {
      {"no adapters", "desktop-zh", false, false, nullptr, netprobe::kRouterNoAdapters,
       netprobe::kRouterNoAdaptersMessage, netprobe::kLanNoAdapters,
       netprobe::kLanNoAdaptersMessage},
      {"no DNS test: no address", "desktop-zh", true, false, nullptr, netprobe::kRouterNoEntry,
       netprobe::kRouterNoEntryMessage, netprobe::kLanNothingFound, netprobe::kLanFailedMessage},
      {"WMIC does not start", "desktop-zh", true, true, L"WMIC NICCONFIG list full",
       netprobe::kRouterNoEntry, netprobe::kRouterNoEntryMessage, netprobe::kLanNothingFound,
       netprobe::kLanFailedMessage},
      {"router ping and arp do not start", "desktop-zh", true, true, L"arp -a", 0, "",
       netprobe::kLanArpFailed, netprobe::kLanFailedMessage},
  };
  for (const Case& c : cases) {
    FakeMachine machine(c.profile);
    if (c.fail != nullptr) {
      machine.runner.FailToStart(c.fail);
    }
    const auto engine = machine.MakeEngine();
    ProbeError error;
    if (c.adapters) {
      ASSERT_EQ(engine->ProbeNetworkCards(&error), 1) << c.what;
    }
    if (c.dns) {
      EXPECT_EQ(engine->ProbeDnsTest(&error), 1) << c.what;
      EXPECT_EQ(error.code, 0) << c.what;
    }
    ProbeError router;
    EXPECT_EQ(engine->ProbeRouterDelay(&router), c.routerCode == 0 ? 1 : 0) << c.what;
    EXPECT_EQ(router.code, c.routerCode) << c.what;
    EXPECT_EQ(router.message, c.routerMessage) << c.what;
    ProbeError lan;
    EXPECT_EQ(engine->ProbeLanDevices(&lan), 0) << c.what;
    EXPECT_EQ(lan.code, c.lanCode) << c.what;
    EXPECT_EQ(lan.message, c.lanMessage) << c.what;
  }
}

TEST(NetworkTestsFailureTest, OptimisationNeedsTheTableTheFolderAndTheMarker) {
  struct Case {
    const char* what;
    bool tableReadable;
    bool folderKnown;
    bool netshStarts;
    int optimize;
  };
  const std::vector<Case> cases = {
      {"all there", true, true, true, 1},
      {"no adapter table", false, true, true, 0},
      {"no data folder", true, false, true, 0},
      {"netsh does not start", true, true, false, 0},
  };
  for (const Case& c : cases) {
    FakeMachine machine("two-wired-zh");
    machine.files.existing.insert(L"C:\\ProgramData\\DnsOptimize.txt");
    machine.adapters.readable = c.tableReadable;
    if (!c.folderKnown) {
      machine.files.commonAppData.clear();
    }
    if (!c.netshStarts) {
      machine.runner.FailToStart(L"netsh interface ip show dnsserver");
    }
    const auto engine = machine.MakeEngine();
    ProbeError error;
    ASSERT_EQ(engine->ProbeNetworkCards(&error), 1);
    EXPECT_EQ(engine->ProbeDnsTest(&error), 1) << c.what;
    EXPECT_EQ(engine->records().dnsTestInfo.optimize, c.optimize) << c.what;
    // Both adapters have an address: the table is asked for each.
    EXPECT_EQ(machine.adapters.queries, 2) << c.what;
  }
}

// Values that would change a "cmd /C" command line, or that are no IPv4 address at all.
const std::vector<std::string> kHostile = {
    "1.1.1.1&calc", "1.1.1.1&&x",  "1.1.1.1|calc", "1.1.1.1||x", "1.1.1.1^&x", "%PATH%.1.1",
    "1.1.1.1%X%",   "\"1.1.1.1\"", "1.1.1.1\"&x",  "1.1.1.1>x",  "1.1.1.1<x",  "1.1.1.1 >nul",
    "1.1.1.1\rx",   "1.1.1.1\nx",  "1 .1.1.1",     "1.1.1.1 -t", "(1.1.1.1)",  "1.1.1.1;x",
    "1.1.1.1,x",    "!x!.1.1.1",   "256.1.1.1",    "1.1.1.1.",   "fe80::1%12", "1.1.1.1`x",
};

// Answers what the profile knows and every other command with empty output, recording all:
// the check below decides whether a command line is acceptable.
class PermissiveRunner : public netprobe::ICommandRunner {
 public:
  PermissiveRunner(ProfileRunner& profile, const std::string& listing)
      : profile_(profile), listing_(listing) {}
  int RunCommand(const std::wstring& command, std::string& output) override {
    {
      const std::lock_guard<std::mutex> hold(lock_);
      calls.push_back(command);
    }
    if (command == L"WMIC NICCONFIG list full") {
      output += listing_;
      return 1;
    }
    return profile_.Knows(command) ? profile_.RunCommand(command, output) : 1;
  }
  int LaunchCommand(const std::wstring& command, int show) override {
    return profile_.LaunchCommand(command, show);
  }
  std::vector<std::wstring> calls;

 private:
  ProfileRunner& profile_;
  std::string listing_;
  std::mutex lock_;
};

TEST(NetworkTestsSafetyTest, NoHostileAddressReachesACommandLine) {
  const std::string listing = ReadFixture("outputs/nicconfig/zh-desktop-nicconfig-list-full.txt");
  const struct {
    const char* field;
    std::string line;     // the listing's text holding the value
    std::string address;  // the value in it
  } fields[] = {
      {"DNS server", "\"202.96.134.133\"", "202.96.134.133"},
      {"gateway", "DefaultIPGateway={\"192.168.1.1\"}", "192.168.1.1"},
      {"address", "IPAddress={\"192.168.1.5\"", "192.168.1.5"},
  };
  for (const std::string& value : kHostile) {
    for (const auto& field : fields) {
      FakeMachine machine("desktop-zh");
      PermissiveRunner runner(
          machine.runner,
          ReplacedOnce(listing, field.line, ReplaceAll(field.line, field.address, value)));
      netprobe::Platform services = machine.platform();
      services.commands = &runner;
      netprobe::ProbeEngine engine(services);
      ProbeError error;
      ASSERT_EQ(engine.ProbeNetworkCards(&error), 1);
      const std::size_t before = runner.calls.size();
      engine.ProbeDnsTest(&error);
      engine.ProbeRouterDelay(&error);
      if (field.address == "192.168.1.5") {
        engine.ProbeLanDevices(&error);  // the address is what the sweep uses
      }
      const std::vector<std::wstring>& calls = runner.calls;
      for (std::size_t i = before; i < calls.size(); ++i) {
        // Each word of a ping command is an option, a count or a dotted IPv4 address.
        const std::string call(calls[i].begin(), calls[i].end());
        std::size_t start = 0;
        while (start < call.size()) {
          const std::size_t blank = std::min(call.find(' ', start), call.size());
          const std::string word = call.substr(start, blank - start);
          const bool fits = word.empty() || word == "ping" || word == "-S" || word == "-n" ||
                            word == "1" || word == "10" || netprobe::IsDottedIPv4(word) ||
                            call == "netsh interface ip show dnsserver" || call == "arp -a" ||
                            call == "WMIC NICCONFIG list full";
          EXPECT_TRUE(fits) << field.field << " [" << value << "]: " << call;
          start = blank + 1;
        }
      }
    }
  }
}

}  // namespace
}  // namespace kestrel::test
