// A command whose process does not start is tried again by every probe, and one that never
// starts leaves a line in the log: on a busy PC no probe reads a tool's missing output as its
// answer.
#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "NetProbe.h"
#include "core/start_retry.h"
#include "kestrel_endpoints.h"
#include "support/fake_machine.h"

namespace kestrel::test {
namespace {

using netprobe::ICommandRunner;
using netprobe::kCommandStartAttempts;

// One try's outcome: the process did not start, cmd could not start the tool, or the tool ran.
enum class Try { kNoProcess, kNoTool, kRan };

// Answers each command's tries from a script (the last entry repeating), the ran tries from
// `answers` (or "ran"); thread-safe.
class ScriptedTries : public ICommandRunner {
 public:
  explicit ScriptedTries(ICommandRunner* answers = nullptr) : answers_(answers) {}

  void Script(const std::wstring& command, std::vector<Try> tries) { scripts_[command] = tries; }

  int RunCommandForExitCode(const std::wstring& command, std::string& output,
                            unsigned long& exitCode) override {
    const Try now = Next(command);
    if (now == Try::kNoProcess) {
      return 0;
    }
    if (now == Try::kNoTool) {
      output += "'ping' is not recognized\r\n";
      exitCode = kToolNotStarted;
      return 1;
    }
    exitCode = 0;
    return answers_ != nullptr ? answers_->RunCommand(command, output) : (output += "ran", 1);
  }
  int RunCommand(const std::wstring& command, std::string& output) override {
    unsigned long exitCode = 0;
    return RunCommandForExitCode(command, output, exitCode);
  }
  int LaunchCommand(const std::wstring& command, int) override {
    return Next(command) == Try::kRan ? 1 : 0;
  }
  int Tries(const std::wstring& command) {
    const std::lock_guard<std::mutex> hold(lock_);
    return tries_[command];
  }

 private:
  Try Next(const std::wstring& command) {
    const std::lock_guard<std::mutex> hold(lock_);
    const int n = tries_[command]++;
    const auto found = scripts_.find(command);
    if (found == scripts_.end() || found->second.empty()) {
      return Try::kRan;
    }
    const std::vector<Try>& script = found->second;
    return script[std::min<std::size_t>(n, script.size() - 1)];
  }

  ICommandRunner* answers_;
  std::mutex lock_;
  std::map<std::wstring, std::vector<Try>> scripts_;
  std::map<std::wstring, int> tries_;
};

class KeptLog : public netprobe::IDiagnosticLog {
 public:
  void Note(const std::wstring& line) override {
    const std::lock_guard<std::mutex> hold(lock_);
    lines.push_back(line);
  }
  std::mutex lock_;
  std::vector<std::wstring> lines;
};

constexpr wchar_t kPing[] = L"ping 192.168.1.1 -n 10";
const std::wstring kNeverLine =
    std::wstring(L"NetProbe: \"") + kPing + L"\" did not start in 4 tries";

TEST(StartRetryTest, TriesUntilTheToolRunsAndKeepsOnlyThatOutput) {
  using T = Try;
  const struct {
    const char* what;
    std::vector<Try> script;
    int started;
    const char* output;  // after "earlier|"
    unsigned long exitCode;
    int tries;
    bool logged;
  } cases[] = {
      {"runs at once", {T::kRan}, 1, "ran", 0, 1, false},
      {"no process once", {T::kNoProcess, T::kRan}, 1, "ran", 0, 2, false},
      {"no tool twice", {T::kNoTool, T::kNoTool, T::kRan}, 1, "ran", 0, 3, false},
      {"runs at the last try",
       {T::kNoProcess, T::kNoTool, T::kNoProcess, T::kRan},
       1,
       "ran",
       0,
       4,
       false},
      // The caller gets what a runner without retries gave: 0 and nothing, or cmd's complaint.
      {"never a process", {T::kNoProcess}, 0, "", 4711, 4, true},
      {"never the tool",
       {T::kNoProcess, T::kNoTool},
       1,
       "'ping' is not recognized\r\n",
       ICommandRunner::kToolNotStarted,
       4,
       true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ScriptedTries inner;
    inner.Script(kPing, c.script);
    FakeClock clock;
    KeptLog log;
    netprobe::StartRetryRunner runner(inner, &clock, &log);
    std::string output = "earlier|";
    unsigned long exitCode = 4711;
    EXPECT_EQ(runner.RunCommandForExitCode(kPing, output, exitCode), c.started);
    EXPECT_EQ(output, std::string("earlier|") + c.output);
    EXPECT_EQ(exitCode, c.exitCode);
    EXPECT_EQ(inner.Tries(kPing), c.tries);
    EXPECT_EQ(clock.sleeps, std::vector<unsigned>(c.tries - 1, 100u));
    EXPECT_EQ(log.lines,
              c.logged ? std::vector<std::wstring>{kNeverLine} : std::vector<std::wstring>{});
  }
}

// A tool cmd never finds is missing from the PC: a probe that samples it many times pays the
// tries once. A process the PC refused is tried in full on every call.
TEST(StartRetryTest, MissingToolIsTriedInFullOnlyOnce) {
  const struct {
    Try always;
    int tries;  // over three calls
    std::size_t pauses;
    std::size_t lines;
  } cases[] = {{Try::kNoTool, 4 + 1 + 1, 3, 1}, {Try::kNoProcess, 3 * 4, 3 * 3, 3}};
  for (const auto& c : cases) {
    ScriptedTries inner;
    inner.Script(kPing, {c.always});
    FakeClock clock;
    KeptLog log;
    netprobe::StartRetryRunner runner(inner, &clock, &log);
    for (int call = 0; call < 3; ++call) {
      std::string output;
      unsigned long exitCode = 0;
      EXPECT_EQ(runner.RunCommandForExitCode(kPing, output, exitCode), c.always == Try::kNoTool);
    }
    EXPECT_EQ(inner.Tries(kPing), c.tries);
    EXPECT_EQ(clock.sleeps.size(), c.pauses);
    EXPECT_EQ(log.lines.size(), c.lines);
  }
}

TEST(StartRetryTest, ToolThatRanAndFailedIsNotTriedAgain) {
  // A ping without an answer exits with 1: that is its answer, not a failure to start.
  class FailingTool : public ICommandRunner {
   public:
    int RunCommand(const std::wstring&, std::string& output) override {
      output += "timed out";
      return 1;
    }
    int RunCommandForExitCode(const std::wstring& command, std::string& output,
                              unsigned long& exitCode) override {
      ++tries;
      exitCode = 1;
      return RunCommand(command, output);
    }
    int LaunchCommand(const std::wstring&, int) override { return 1; }
    int tries = 0;
  } inner;
  netprobe::StartRetryRunner runner(inner, nullptr, nullptr);
  std::string output;
  EXPECT_EQ(runner.RunCommand(kPing, output), 1);
  EXPECT_EQ(output, "timed out");
  EXPECT_EQ(inner.tries, 1);
}

TEST(StartRetryTest, LaunchesAreTriedAgainToo) {
  const struct {
    std::vector<Try> script;
    int started;
    int tries;
  } cases[] = {{{Try::kNoProcess, Try::kRan}, 1, 2}, {{Try::kNoProcess}, 0, 4}};
  for (const auto& c : cases) {
    ScriptedTries inner;
    inner.Script(kPing, c.script);
    KeptLog log;
    netprobe::StartRetryRunner runner(inner, nullptr, &log);  // no clock: no pause
    EXPECT_EQ(runner.LaunchCommand(kPing, 0), c.started);
    EXPECT_EQ(inner.Tries(kPing), c.tries);
    EXPECT_EQ(log.lines.size(), c.started == 1 ? 0u : 1u);
  }
}

// The presence check and a probe call the engine's runner from two threads at once.
TEST(StartRetryTest, ThreadsShareOneRunner) {
  constexpr int kThreads = 8;
  constexpr int kCalls = 200;
  ScriptedTries inner;
  for (int t = 0; t < kThreads; ++t) {
    inner.Script(L"ping " + std::to_wstring(t), {Try::kNoProcess, Try::kNoTool, Try::kRan});
  }
  KeptLog log;
  netprobe::StartRetryRunner runner(inner, nullptr, &log);
  std::atomic<int> wrong{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      for (int call = 0; call < kCalls; ++call) {
        std::string output;
        if (runner.RunCommand(L"ping " + std::to_wstring(t), output) != 1 || output != "ran") {
          ++wrong;
        }
      }
    });
  }
  for (std::thread& thread : threads) {
    thread.join();
  }
  EXPECT_EQ(wrong.load(), 0);
  EXPECT_EQ(inner.Tries(L"ping 0"), kCalls + 2);  // only the first call met the failures
  EXPECT_TRUE(log.lines.empty());
}

// Through the engine: the presence check and the router delay get their answers although their
// pings did not start at first; a router ping that never starts leaves its adapter without an
// entry (the probe's own failure code) and a line in the log.
TEST(StartRetryTest, EveryProbeOfTheEngineRetries) {
  const std::wstring presence = std::wstring(L"ping ") + kestrel::endpoints::kPresenceHosts[0];
  const std::wstring router = L"ping 192.168.1.1 -S 192.168.1.5 -n 10";
  const struct {
    std::vector<Try> routerTries;
    int routed;
    std::size_t entries;
    std::size_t lines;
  } cases[] = {{{Try::kNoProcess, Try::kNoTool, Try::kRan}, 1, 1, 0}, {{Try::kNoProcess}, 0, 0, 1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.routed);
    FakeMachine machine("desktop-zh");
    ScriptedTries runner(&machine.runner);
    runner.Script(presence, {Try::kNoProcess, Try::kNoTool, Try::kRan});
    runner.Script(router, c.routerTries);
    KeptLog log;
    netprobe::Platform services = machine.platform();
    services.commands = &runner;
    services.log = &log;
    netprobe::ProbeEngine engine(services);
    EXPECT_EQ(engine.NetworkState(), 1);
    EXPECT_EQ(runner.Tries(presence), 3);

    ProbeError error;
    ASSERT_EQ(engine.ProbeNetworkCards(&error), 1);
    ASSERT_EQ(engine.ProbeDnsTest(&error), 1);  // gives the adapters their addresses
    EXPECT_EQ(engine.ProbeRouterDelay(&error), c.routed);
    EXPECT_EQ(engine.records().routerDelayWired.size(), c.entries);
    if (c.routed == 0) {
      EXPECT_EQ(error.code, netprobe::kRouterNoEntry);
    }
    EXPECT_EQ(log.lines.size(), c.lines);
  }
}

}  // namespace
}  // namespace kestrel::test
