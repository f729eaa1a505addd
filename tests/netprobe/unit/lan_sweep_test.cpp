// The LAN sweep on a machine that now and then cannot start a process: a ping that does not
// start is tried again, and an address whose ping never starts is counted in its adapter's
// entry, so a short device count never goes unnoticed.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "NetProbe.h"
#include "probes/adapters/adapter_probe.h"
#include "probes/dns/dns_probe.h"
#include "probes/lan/lan_probe.h"
#include "support/fake_machine.h"
#include "support/records.h"

namespace kestrel::test {
namespace {

// How often a command fails before it runs: cmd itself not starting, then cmd starting but not
// the tool inside it (exit code 9009).
struct Failures {
  int noProcess = 0;
  int noTool = 0;
};

// Answers from the profile, except that each listed command fails to start its first times.
class FlakyRunner : public netprobe::ICommandRunner {
 public:
  FlakyRunner(ProfileRunner& profile, std::map<std::wstring, Failures> failures)
      : profile_(profile), failures_(std::move(failures)) {}

  int RunCommandForExitCode(const std::wstring& command, std::string& output,
                            unsigned long& exitCode) override {
    exitCode = 0;
    {
      const std::lock_guard<std::mutex> hold(lock_);
      ++runs_[command];
      auto failing = failures_.find(command);
      if (failing != failures_.end() && failing->second.noProcess > 0) {
        --failing->second.noProcess;
        return 0;
      }
      if (failing != failures_.end() && failing->second.noTool > 0) {
        --failing->second.noTool;
        output += "'ping' is not recognized as an internal or external command,\r\n";
        exitCode = kToolNotStarted;
        return 1;
      }
    }
    return profile_.RunCommand(command, output);
  }
  int RunCommand(const std::wstring& command, std::string& output) override {
    unsigned long exitCode = 0;
    return RunCommandForExitCode(command, output, exitCode);
  }
  int LaunchCommand(const std::wstring& command, int show) override {
    return profile_.LaunchCommand(command, show);
  }
  int Runs(const std::wstring& command) {
    const std::lock_guard<std::mutex> hold(lock_);
    return runs_[command];
  }

 private:
  ProfileRunner& profile_;
  std::mutex lock_;
  std::map<std::wstring, Failures> failures_;  // failures left
  std::map<std::wstring, int> runs_;
};

constexpr int kNever = 1000;
constexpr int kTries = netprobe::kSweepStartAttempts;

struct SweepCase {
  const char* what;
  const char* profile;
  std::map<std::wstring, Failures> failures;
  std::map<std::wstring, int> runs;  // how often each failing command was tried
  std::vector<int> unsweptWired;     // per entry
  std::vector<int> unsweptWireless;
};

const std::vector<SweepCase> kCases = {
    {"cmd fails once",
     "desktop-zh",
     {{L"ping 192.168.1.7 -n 1", {1, 0}}},
     {{L"ping 192.168.1.7 -n 1", 2}},
     {0},
     {}},
    {"the tool fails once",
     "desktop-zh",
     {{L"ping 192.168.1.7 -n 1", {0, 1}}},
     {{L"ping 192.168.1.7 -n 1", 2}},
     {0},
     {}},
    {"both fail on every try but the last",
     "desktop-zh",
     {{L"ping 192.168.1.8 -n 1", {1, kTries - 2}}},
     {{L"ping 192.168.1.8 -n 1", kTries}},
     {0},
     {}},
    {"never starts, at both ends of the range and between",
     "desktop-zh",
     {{L"ping 192.168.1.0 -n 1", {kNever, 0}},
      {L"ping 192.168.1.20 -n 1", {0, kNever}},
      {L"ping 192.168.1.255 -n 1", {kNever, 0}}},
     {{L"ping 192.168.1.0 -n 1", kTries},
      {L"ping 192.168.1.20 -n 1", kTries},
      {L"ping 192.168.1.255 -n 1", kTries}},
     {3},
     {}},
    {"wireless adapter",
     "laptop-en",
     {{L"ping 10.0.0.12 -n 1", {0, kNever}}},
     {{L"ping 10.0.0.12 -n 1", kTries}},
     {},
     {1}},
    // Each adapter's entry gets its own sweep's count.
    {"second of two adapters",
     "two-wired-zh",
     {{L"ping 192.168.0.3 -n 1", {kNever, 0}}, {L"ping 192.168.0.4 -n 1", {1, 1}}},
     {{L"ping 192.168.0.3 -n 1", kTries}, {L"ping 192.168.0.4 -n 1", 3}},
     {0, 1},
     {}},
};

std::vector<int> Unswept(const std::vector<LanDevicesEntry>& entries) {
  std::vector<int> counts;
  for (const LanDevicesEntry& entry : entries) {
    counts.push_back(entry.unsweptAddresses);
  }
  return counts;
}

TEST(LanSweepTest, PingsThatDoNotStartAreRetriedAndCounted) {
  for (const SweepCase& c : kCases) {
    SCOPED_TRACE(c.what);
    const unsigned codePage = std::string(c.profile).find("-zh") != std::string::npos ? 936 : 1252;
    FakeMachine machine(c.profile, codePage);
    FlakyRunner runner(machine.runner, c.failures);
    netprobe::Platform services = machine.platform();
    services.commands = &runner;
    netprobe::ProbeEngine engine(services);
    ProbeError error;
    ASSERT_EQ(engine.ProbeNetworkCards(&error), 1);
    ASSERT_EQ(engine.ProbeDnsTest(&error), 1);

    FakeMachine reference(c.profile, codePage);
    const auto expected = reference.MakeEngine();
    ASSERT_EQ(expected->ProbeNetworkCards(&error), 1);
    ASSERT_EQ(expected->ProbeDnsTest(&error), 1);
    ASSERT_EQ(expected->ProbeLanDevices(&error), 1);

    machine.clock.sleeps.clear();
    ASSERT_EQ(engine.ProbeLanDevices(&error), 1);
    // The devices still come from the ARP table: the count stands beside them.
    EXPECT_EQ(Describe(engine.records().lanDevicesWired),
              Describe(expected->records().lanDevicesWired));
    EXPECT_EQ(Describe(engine.records().lanDevicesWireless),
              Describe(expected->records().lanDevicesWireless));
    EXPECT_EQ(Unswept(engine.records().lanDevicesWired), c.unsweptWired);
    EXPECT_EQ(Unswept(engine.records().lanDevicesWireless), c.unsweptWireless);
    EXPECT_EQ(Unswept(expected->records().lanDevicesWired),
              std::vector<int>(c.unsweptWired.size(), 0));
    int mostRuns = 0;
    for (const auto& [command, runs] : c.runs) {
      EXPECT_EQ(runner.Runs(command), runs) << std::string(command.begin(), command.end());
      mostRuns = std::max(mostRuns, runs);
    }
    // A pause before every new try.
    EXPECT_GE(machine.clock.sleeps.size(), static_cast<std::size_t>(mostRuns - 1));
  }
}

}  // namespace
}  // namespace kestrel::test
