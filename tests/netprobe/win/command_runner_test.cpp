// The command runner with the real cmd.exe and real pipes. Only cmd's own commands and this
// program run here.
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cwchar>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "core/background_job.h"
#include "core/win32_services.h"
#include "support/testdata.h"
#include "support/windows_system.h"

namespace kestrel::test {
namespace {

using netprobe::BackgroundJob;
namespace win32 = netprobe::win32;

// A testdata file's Windows path: backslashes (to cmd a slash starts a switch).
std::wstring WindowsPath(const std::string& relative) {
  std::string path = TestdataPath(relative);
  std::replace(path.begin(), path.end(), '/', '\\');
  return std::wstring(path.begin(), path.end());  // the path is plain ASCII
}

std::wstring ThisProgram() {
  wchar_t path[MAX_PATH + 1] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  return path;
}

// Started with this switch and a file, this program writes the file's bytes to standard output
// and ends before any test runs: a tool whose output holds bytes that cmd's commands drop.
constexpr wchar_t kPrintSwitch[] = L"--kestrel-print-file=";

bool PrintFileIfAsked() {
  int count = 0;
  wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  const std::wstring prefix = kPrintSwitch;
  if (arguments == nullptr || count != 2 ||
      prefix.compare(0, prefix.size(), arguments[1], 0, prefix.size()) != 0) {
    LocalFree(arguments);
    return false;
  }
  std::ifstream in(std::filesystem::path(arguments[1] + prefix.size()), std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), bytes.data(), static_cast<DWORD>(bytes.size()),
            &written, nullptr);
  ExitProcess(in.is_open() && written == bytes.size() ? 0 : 1);
}

[[maybe_unused]] const bool kPrinted = PrintFileIfAsked();

// Started with this switch and an event's name, this program waits until the event is set (at
// most ten minutes) and ends before any test runs: a slow tool that prints nothing and ends
// when the test says, however long a loaded machine takes meanwhile.
constexpr wchar_t kWaitSwitch[] = L"--kestrel-wait-event=";
constexpr DWORD kWaitBoundMs = 600000;

bool WaitIfAsked() {
  int count = 0;
  wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  const std::wstring prefix = kWaitSwitch;
  if (arguments == nullptr || count != 2 ||
      prefix.compare(0, prefix.size(), arguments[1], 0, prefix.size()) != 0) {
    LocalFree(arguments);
    return false;
  }
  const HANDLE event = OpenEventW(SYNCHRONIZE, FALSE, arguments[1] + prefix.size());
  WaitForSingleObject(event, event != nullptr ? kWaitBoundMs : 0);
  ExitProcess(0);
}

[[maybe_unused]] const bool kWaited = WaitIfAsked();

TEST(RunCommand, EmptyOutputIsAStartedCommandWithAnEmptyText) {
  std::string output;
  EXPECT_EQ(win32::RunCommand(L"rem", output), 1);
  EXPECT_EQ(output, "");
}

// `type` writes the fixture's bytes unchanged (Wine's own `type` stops at a zero byte, so that
// case comes from this program started in its printing mode), so the capture must equal the
// file.
TEST(RunCommand, CapturesOutputByteForByteAndAppends) {
  struct Case {
    const char* fixture;
    bool throughCmdType;
    std::string earlier;
  };
  const Case cases[] = {
      // About ten chunks of 1023 bytes, GBK text with the CR CR LF line ends of wmic.
      {"runner/long_listing_gbk.txt", true, ""},
      {"runner/long_listing_gbk.txt", false, ""},
      // A zero byte in the middle of a chunk; what follows it is output too.
      {"runner/output_with_nul.txt", false, ""},
      // The runner appends; the caller's text stays in front.
      {"runner/output_with_nul.txt", false, "earlier|"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.fixture) + (c.throughCmdType ? " via type" : " via printer"));
    const std::string expected = ReadFixture(c.fixture);
    ASSERT_FALSE(expected.empty());
    std::string output = c.earlier;
    const int started = c.throughCmdType
                            ? win32::RunCommand(L"type \"" + WindowsPath(c.fixture) + L"\"", output)
                            : win32::RunCommandLine(L"\"" + ThisProgram() + L"\" " + kPrintSwitch +
                                                        L"\"" + WindowsPath(c.fixture) + L"\"",
                                                    output);
    EXPECT_EQ(started, 1);
    EXPECT_EQ(output.size(), c.earlier.size() + expected.size());
    EXPECT_TRUE(output == c.earlier + expected) << "captured bytes differ";
  }
}

TEST(RunCommand, CapturesStandardErrorAndFailuresInsideCmd) {
  std::string both;
  EXPECT_EQ(win32::RunCommand(L"echo out&echo err>&2", both), 1);
  EXPECT_EQ(both, "out\r\nerr\r\n");

  // cmd started, the tool did not: still 1, with cmd's complaint as the output for the parser.
  std::string complaint;
  EXPECT_EQ(win32::RunCommand(L"kestrel_no_such_tool_4711 /all", complaint), 1);
  EXPECT_FALSE(complaint.empty());
}

// The LAN sweep tells a tool that never ran from one that ran and failed by cmd's exit code.
TEST(RunCommand, ExitCodeIsTheToolsOwnOrCmdsNotStarted) {
  static win32::CommandRunner runner;
  const struct {
    const wchar_t* command;
    unsigned long exitCode;
    int started;  // as the background job sees it
  } cases[] = {
      {L"rem", 0, 1},
      {L"exit 1", 1, 1},  // a ping without an answer
      {L"exit 3", 3, 1},
      {L"kestrel_no_such_tool_4711 -n 1", netprobe::ICommandRunner::kToolNotStarted, 0},
      {L"Z:\\kestrel\\no\\such\\folder\\ping.exe -n 1", netprobe::ICommandRunner::kToolNotStarted,
       0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.command, c.command + std::wcslen(c.command)));
    std::string output;
    unsigned long exitCode = 4711;
    EXPECT_EQ(runner.RunCommandForExitCode(c.command, output, exitCode), 1);
    EXPECT_EQ(exitCode, c.exitCode);
    BackgroundJob job;
    ASSERT_TRUE(RunCommandInBackground(runner, job, c.command));
    while (job.finished.load() != 1) {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    EXPECT_EQ(job.started.load(), c.started);
  }
}

TEST(RunCommandLine, NotStartedGivesZeroAndLeavesOutputUnchanged) {
  const std::wstring cases[] = {
      L"kestrel_no_such_program_4711.exe",
      L"Z:\\kestrel\\no\\such\\folder\\tool.exe /x",
      // Longer than CreateProcessW accepts: cutting it would run another command.
      L"cmd /C echo " + std::wstring(40000, L'x'),
      // A zero inside would silently end the command line early.
      std::wstring(L"cmd /C echo one\0two", 19),
  };
  for (const std::wstring& commandLine : cases) {
    SCOPED_TRACE(commandLine.size());
    std::string output = "unchanged";
    EXPECT_EQ(win32::RunCommandLine(commandLine, output), 0);
    EXPECT_EQ(output, "unchanged");
  }
}

TEST(RunCommandInBackground, AllJobsFinishAndThePollingEnds) {
  constexpr std::size_t kJobs = 256;
  // Far above the ~35 s that 256 processes take under Wine; a hang fails instead of blocking.
  constexpr auto kLimit = std::chrono::seconds(400);
  // The jobs' threads hold references to both; after a failed wait they may still run, so the
  // records are freed only when every job has finished.
  static win32::CommandRunner runner;
  auto* jobs = new std::vector<BackgroundJob>(kJobs);

  std::size_t started = 0;
  for (std::size_t i = 0; i < kJobs; ++i) {
    started += RunCommandInBackground(runner, (*jobs)[i], L"echo job " + std::to_wstring(i));
  }
  EXPECT_EQ(started, kJobs);

  const auto deadline = std::chrono::steady_clock::now() + kLimit;
  std::size_t finished = 0;
  while (std::chrono::steady_clock::now() < deadline) {
    finished = static_cast<std::size_t>(std::count_if(
        jobs->begin(), jobs->end(), [](const BackgroundJob& job) { return job.finished == 1; }));
    if (finished == started) {
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  EXPECT_EQ(finished, kJobs);
  EXPECT_EQ((*jobs)[kJobs - 1].command, L"echo job 255");
  if (finished == started) {
    delete jobs;
  }
}

// A child created by another thread while a command runs must not hold that command's pipe
// open: each quick command's read ends with its own child, while the slow ones wait for the
// test's event. The slow children are created one by one between the quick commands, so
// creations overlap. A quick read held open by a slow child would end only with that child, at
// the wait's bound, so a slow child would have ended before the quick ones are done.
TEST(RunCommandLine, QuickCommandsEndWhileSlowOnesStartAlongside) {
  constexpr int kSlow = 16;
  constexpr int kQuick = 2 * kSlow;
  const std::wstring eventName =
      L"Local\\kestrel-slow-children-" + std::to_wstring(GetCurrentProcessId());
  const HANDLE release = CreateEventW(nullptr, TRUE, FALSE, eventName.c_str());
  ASSERT_NE(release, nullptr);
  std::atomic<int> quickDone{0};
  std::atomic<int> slowEnded{0};
  std::vector<std::thread> slow;
  for (int i = 0; i < kSlow; ++i) {
    slow.emplace_back([&, i] {
      while (quickDone.load() < 2 * i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
      }
      std::string ignored;
      win32::RunCommandLine(L"\"" + ThisProgram() + L"\" " + kWaitSwitch + eventName, ignored);
      ++slowEnded;
    });
  }
  for (int i = 0; i < kQuick; ++i) {
    std::string output;
    EXPECT_EQ(win32::RunCommand(L"echo quick " + std::to_wstring(i), output), 1);
    EXPECT_EQ(output, "quick " + std::to_string(i) + "\r\n");
    ++quickDone;
  }
  EXPECT_EQ(slowEnded.load(), 0) << "a quick command waited for a slow child to end";
  SetEvent(release);
  for (std::thread& thread : slow) {
    thread.join();
  }
  EXPECT_EQ(slowEnded.load(), kSlow);
  CloseHandle(release);
}

TEST(LaunchCommand, RunsTheCommandAndWaitsForIt) {
  for (int show : {0, 1}) {
    SCOPED_TRACE(show);
    const std::wstring marker = TempFilePath(L"launch_marker.txt");
    DeleteFileW(marker.c_str());
    EXPECT_EQ(win32::LaunchCommand(L"echo launched>\"" + marker + L"\"", show), 1);
    // Written before LaunchCommand returned: it waited for the process.
    EXPECT_TRUE(std::filesystem::exists(marker));
    DeleteFileW(marker.c_str());
  }
}

TEST(IsWow64, IsZeroInA64BitProcess) {
#if defined(_WIN64)
  EXPECT_EQ(win32::IsWow64(), 0);
  EXPECT_EQ(win32::IsWow64(), 0);  // again, through the cached address
#else
  GTEST_SKIP() << "only 64-bit test programs run here";
#endif
}

}  // namespace
}  // namespace kestrel::test
