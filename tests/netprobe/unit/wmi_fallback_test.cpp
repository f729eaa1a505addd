// Windows 11 machines without wmic: every wmic line starts but prints only cmd's complaint. The
// probes must then read the same classes through PowerShell and fill the same records as on
// the Windows 10 machine with the same hardware, without running wmic again.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "NetProbe.h"
#include "dll/probe_engine.h"
#include "kestrel/wmic.h"
#include "probe_fixtures.h"
#include "probes/adapters/adapter_parsers.h"
#include "probes/adapters/adapter_probe.h"
#include "probes/cpu/cpu_probe.h"
#include "probes/disk/disk_probe.h"
#include "probes/dns/dns_probe.h"
#include "probes/host/host_probe.h"
#include "probes/host/product_listing.h"
#include "probes/lan/lan_probe.h"
#include "probes/memory/memory_probe.h"
#include "probes/router/router_probe.h"
#include "probes/system/system_probe.h"
#include "support/fake_machine.h"
#include "support/records.h"
#include "support/report_engine.h"
#include "support/testdata.h"

namespace kestrel::test {
namespace {

template <typename Number>
std::string Join(const std::vector<Number>& numbers) {
  std::string text;
  for (const Number n : numbers) {
    text += std::to_string(n) + " ";
  }
  return text;
}

std::string Join(const std::vector<std::string>& texts) {
  std::string text;
  for (const std::string& t : texts) {
    text += t + "; ";
  }
  return text;
}

// Runs the detection's probes in their order on the engine; one line a probe (its result and
// error), then one line of each record it fills. The system name is left to the caller.
std::vector<std::string> RunDetection(netprobe::ProbeEngine& engine) {
  std::vector<std::string> lines;
  for (const auto& [name, probe] : DetectionProbes()) {
    ProbeError error;
    const int result = (engine.*probe)(&error);
    lines.push_back(std::string(name) + " -> " + std::to_string(result) + " " +
                    std::to_string(error.code) + " " + error.message);
  }
  const HostInfo& host = engine.records().hostInfo;
  lines.push_back(host.hostTypeName + "|" + host.serialNumber + "|" + host.manufacturer);
  lines.push_back(engine.records().systemInfo.systemVersion + "|" +
                  std::to_string(engine.records().systemInfo.systemVersionNumber));
  lines.push_back(engine.records().cpuInfo.cpuName + "|" +
                  Join(CpuNumbers(engine.records().cpuInfo)) +
                  std::to_string(engine.records().cpuInfo.cpuUtilization));
  lines.push_back(Join(MemoryNumbers(engine.records().memoryInfo)));
  for (const auto& [disk, size] : NamesAndSizes(engine.records().diskInfo.disks)) {
    lines.push_back(disk + "|" + std::to_string(size));
  }
  lines.push_back(Join(Describe(engine.records().cardSummaries)));
  for (const auto* cards : {&engine.records().wiredCards, &engine.records().wirelessCards}) {
    for (const NetworkCard& c : *cards) {
      lines.push_back(c.description + "|" + c.ipAddress + "|" + c.subnetMask + "|" +
                      c.defaultIPGateway + "|" + Join(c.dnsServers));
    }
  }
  lines.push_back(Join(Describe(engine.records().dnsTestInfo)));
  lines.push_back(Join(Describe(engine.records().routerDelayWired)) +
                  Join(Describe(engine.records().routerDelayWireless)));
  lines.push_back(Join(Describe(engine.records().lanDevicesWired)) +
                  Join(Describe(engine.records().lanDevicesWireless)));
  return lines;
}

bool IsWmicLine(const std::wstring& command) {
  return command.size() > 5 &&
         (command.compare(0, 5, L"wmic ") == 0 || command.compare(0, 5, L"WMIC ") == 0);
}

bool IsCimLine(const std::wstring& command) {
  return command.find(L"powershell -NoProfile -NonInteractive -Command") == 0;
}

struct ProfilePair {
  const char* windows10;
  const char* windows11;
  unsigned codePage;
};

const ProfilePair kPairs[] = {
    {"laptop-en", "win11-en", 1252},
    {"desktop-zh", "win11-zh", 936},
};

TEST(WmiFallbackTest, Windows11GivesTheRecordsOfTheSameHardwareOnWindows10) {
  for (const ProfilePair& pair : kPairs) {
    SCOPED_TRACE(pair.windows11);
    FakeMachine windows10(pair.windows10, pair.codePage);
    FakeMachine windows11(pair.windows11, pair.codePage);
    auto engine10 = windows10.MakeEngine();
    auto engine11 = windows11.MakeEngine();

    EXPECT_EQ(RunDetection(*engine11), RunDetection(*engine10));
    EXPECT_NE(engine10->records().systemInfo.systemName.find("Windows 10"), std::string::npos);
    EXPECT_NE(engine11->records().systemInfo.systemName.find("Windows 11"), std::string::npos)
        << engine11->records().systemInfo.systemName;
    EXPECT_TRUE(engine11->WmicMissing());
    EXPECT_FALSE(engine10->WmicMissing());

    // Windows 11: the first wmic line found it missing and none ran after it. Windows 10: wmic
    // answered every query and no PowerShell stand-in ran.
    const auto& calls11 = windows11.runner.calls();
    std::size_t wmicLines = 0;
    for (const std::wstring& call : calls11) {
      wmicLines += IsWmicLine(call) ? 1 : 0;
    }
    EXPECT_EQ(wmicLines, 1u);
    for (const std::wstring& call : windows10.runner.calls()) {
      EXPECT_FALSE(IsCimLine(call)) << simtools::WideToUtf8(call);
    }
  }
}

// Read a PowerShell that prints an error where the objects should be like a wmic that prints
// nothing usable: the same results, codes and messages, probe by probe.
TEST(WmiFallbackTest, PowerShellErrorsFailLikeUnusableWmicOutput) {
  const char* errors[] = {"cim/en-error-rpc-unavailable.txt", "cim/en-error-language-mode.txt"};
  for (const char* errorFile : errors) {
    SCOPED_TRACE(errorFile);
    const std::string error = ReadFixture(std::string("outputs/") + errorFile);

    // Which lines each machine runs, from a clean run of each.
    FakeMachine clean10("laptop-en", 1252);
    FakeMachine clean11("win11-en", 1252);
    RunDetection(*clean10.MakeEngine());
    RunDetection(*clean11.MakeEngine());

    FakeMachine windows10("laptop-en", 1252);
    ScriptedRunner unusableWmic(windows10.runner);
    for (const std::wstring& call : clean10.runner.calls()) {
      if (IsWmicLine(call)) {
        unusableWmic.Script(call, {error});
      }
    }
    FakeMachine windows11("win11-en", 1252);
    ScriptedRunner failingCim(windows11.runner);
    for (const std::wstring& call : clean11.runner.calls()) {
      if (IsCimLine(call)) {
        failingCim.Script(call, {error});
      }
    }
    // With no disk in the listing, the disk probe asks PowerShell's storage module, which fails
    // alike on both.
    const std::wstring physicalDisks = L"powershell -command \"Get-PhysicalDisk|Select-Object *\"";
    unusableWmic.Script(physicalDisks, {error});
    failingCim.Script(physicalDisks, {error});
    netprobe::Platform services10 = windows10.platform();
    services10.commands = &unusableWmic;
    netprobe::Platform services11 = windows11.platform();
    services11.commands = &failingCim;
    netprobe::ProbeEngine engine10(services10);
    netprobe::ProbeEngine engine11(services11);

    const std::vector<std::string> failed10 = RunDetection(engine10);
    const std::vector<std::string> failed11 = RunDetection(engine11);
    EXPECT_EQ(failed11, failed10);
    EXPECT_EQ(failed10.front(), "host -> 0 2 解析主机类型失败");
  }
}

// CIM values may hold "=", quotes or line ends. The stand-in prints line ends as blanks, so a
// value stays on its key's line and a key text inside it is never read as that key.
TEST(WmiFallbackTest, HostileValuesStayInsideTheirOwnKeys) {
  HostInfo host;
  ASSERT_TRUE(
      netprobe::ParseProductListing(ReadFixture("outputs/cim/en-hostile-csproduct.txt"), host));
  EXPECT_EQ(host.serialNumber, "SN=42 Vendor=Evil Corp");
  EXPECT_EQ(host.manufacturer, "LENOVO");
  EXPECT_EQ(host.hostTypeName, "Model \"X\" Version=9");

  const std::string nics = ReadFixture("outputs/cim/en-hostile-nic.txt");
  const struct {
    const char* description;
    int speed;
  } cards[] = {
      {"Realtek \"Gaming\" 2.5GbE", 2500},
      {"Intel(R) Wi-Fi 6E AX211 160MHz", 1201},
  };
  for (const auto& card : cards) {
    EXPECT_EQ(netprobe::ReadAdapterSpeed(nics, card.description), card.speed) << card.description;
  }
}

struct ComplaintCase {
  const char* what;
  std::string output;
  bool missing;
};

TEST(WmiFallbackTest, TellsCmdsComplaintFromWmicOutput) {
  const ComplaintCase cases[] = {
      {"English", ReadFixture("outputs/cmd/en-missing-wmic.txt"), true},
      {"English, typed upper case", ReadFixture("outputs/cmd/en-missing-WMIC.txt"), true},
      {"Chinese", ReadFixture("outputs/cmd/zh-missing-wmic.txt"), true},
      {"after blank lines", "\r\n  \r\n'Wmic' n'est pas reconnu en tant que commande", true},
      {"product listing", ReadFixture("outputs/host/en-laptop-dell.txt"), false},
      {"one-column answer", ReadFixture("outputs/cpu/zh-desktop-name.txt"), false},
      {"empty", "", false},
      {"name cut short", "'wmi", false},
      {"another program", "'wmicx' is not recognized", false},
      {"quoted later in the text", "Name\r\n'wmic' is not recognized", false},
  };
  for (const ComplaintCase& c : cases) {
    EXPECT_EQ(IsMissingWmicComplaint(c.output), c.missing) << c.what;
  }
}

// Scripted answers for one wmic query and its stand-in.
class QueryRunner : public netprobe::ICommandRunner {
 public:
  int RunCommand(const std::wstring& command, std::string& output) override {
    calls.push_back(command);
    const bool wmic = command == kQuery.wmic;
    output += wmic ? wmicOutput : "LoadPercentage=5\r\n";
    return wmic ? wmicStarts : 1;
  }
  int LaunchCommand(const std::wstring&, int) override { return 1; }

  static constexpr netprobe::WmiQuery kQuery{L"wmic cpu list full", L"powershell stand-in"};
  std::string wmicOutput;
  int wmicStarts = 1;
  std::vector<std::wstring> calls;
};

TEST(WmiFallbackTest, DecidesOnceAndOnlyOnCmdsComplaint) {
  struct Case {
    const char* what;
    std::string wmicOutput;
    int wmicStarts;
    int result;
    std::string output;
    std::vector<std::wstring> calls;  // of two queries
  };
  const std::wstring wmic = QueryRunner::kQuery.wmic;
  const std::wstring cim = QueryRunner::kQuery.cim;
  const Case cases[] = {
      {"wmic answers", "LoadPercentage=9\r\n", 1, 1, "seen:LoadPercentage=9\r\n", {wmic, wmic}},
      {"wmic prints nothing", "", 1, 1, "seen:", {wmic, wmic}},
      {"cmd does not start", "", 0, 0, "seen:", {wmic, wmic}},
      {"wmic missing",
       ReadFixture("outputs/cmd/zh-missing-wmic.txt"),
       1,
       1,
       "seen:LoadPercentage=5\r\n",
       {wmic, cim, cim}},
  };
  for (const Case& c : cases) {
    QueryRunner runner;
    runner.wmicOutput = c.wmicOutput;
    runner.wmicStarts = c.wmicStarts;
    netprobe::WmiCommands queries;
    std::string output = "seen:";  // the runner appends; what was there stays
    EXPECT_EQ(queries.Run(runner, QueryRunner::kQuery, output), c.result) << c.what;
    EXPECT_EQ(output, c.output) << c.what;
    std::string second;
    queries.Run(runner, QueryRunner::kQuery, second);
    EXPECT_EQ(runner.calls, c.calls) << c.what;
  }
}

}  // namespace
}  // namespace kestrel::test
