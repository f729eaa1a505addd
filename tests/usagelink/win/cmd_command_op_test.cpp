// UsageLink's command runner with the real cmd.exe under Wine: its stop ends the shells of the
// command it started (cmd.exe and powershell.exe, the child and its descendants) and leaves
// every other process running, a cmd.exe this program started itself included. The long-running
// tools are a sleeper copied as powershell.exe and sleeper.exe, which print their process id.
#include <windows.h>

#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "device/cmd_command_op_win32.h"

namespace usagelink::test {
namespace {

std::string Standin(const char* name) {
  return std::string(KESTREL_RUNNER_STANDINS) + "\\" + name;
}

struct Process {
  DWORD parent = 0;
  std::wstring name;
};

std::map<DWORD, Process> Snapshot() {
  std::map<DWORD, Process> all;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) {
    return all;
  }
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof(entry);
  for (BOOL more = Process32FirstW(snapshot, &entry); more != FALSE;
       more = Process32NextW(snapshot, &entry)) {
    all[entry.th32ProcessID] = {entry.th32ParentProcessID, entry.szExeFile};
  }
  CloseHandle(snapshot);
  return all;
}

// One process of a tree, held open so that its id is not reused while the test looks at it.
struct Held {
  std::wstring name;
  HANDLE handle = nullptr;
  bool Running(DWORD waitMs) const { return WaitForSingleObject(handle, waitMs) == WAIT_TIMEOUT; }
  DWORD ExitCode() const {
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(handle, &code);
    return code;
  }
};

// The processes from `root`'s child down to `leaf`, found by parent ids; empty when the leaf
// does not descend from `root`.
std::vector<Held> Chain(DWORD root, DWORD leaf) {
  const std::map<DWORD, Process> all = Snapshot();
  std::vector<Held> chain;
  for (DWORD id = leaf; id != root && chain.size() < 8;) {
    const auto found = all.find(id);
    if (found == all.end()) {
      break;
    }
    HANDLE handle =
        OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE, FALSE, id);
    chain.insert(chain.begin(), {found->second.name, handle});
    id = found->second.parent;
    if (id == root) {
      return chain;
    }
  }
  for (const Held& held : chain) {
    CloseHandle(held.handle);
  }
  return {};
}

void EndAll(std::vector<Held>& chain) {
  for (Held& held : chain) {
    TerminateProcess(held.handle, 1);
    CloseHandle(held.handle);
  }
  chain.clear();
}

// What a tree printed; a sleeper's "pid=<n>" line names its leaf.
struct Printed {
  std::mutex mutex;
  std::string text;
  void Add(const char* data, std::size_t size) {
    std::lock_guard<std::mutex> lock(mutex);
    text.append(data, size);
  }
  DWORD WaitForLeaf() {
    for (int waited = 0; waited < 300; ++waited) {
      {
        std::lock_guard<std::mutex> lock(mutex);
        const std::size_t at = text.find("pid=");
        if (at != std::string::npos && text.find('\n', at) != std::string::npos) {
          return std::stoul(text.substr(at + 4));
        }
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return 0;
  }
};

// A tree this program starts without the runner: cmd.exe with a sleeper below it.
std::vector<Held> StartOwnTree(const std::string& command, Printed& printed) {
  SECURITY_ATTRIBUTES inheritable{sizeof(inheritable), nullptr, TRUE};
  HANDLE readEnd = nullptr;
  HANDLE writeEnd = nullptr;
  if (CreatePipe(&readEnd, &writeEnd, &inheritable, 0) == FALSE) {
    return {};
  }
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = writeEnd;
  startup.hStdError = writeEnd;
  PROCESS_INFORMATION process{};
  std::string line = "cmd /C " + command;
  const BOOL started = CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE,
                                      CREATE_NO_WINDOW, nullptr, nullptr, &startup, &process);
  CloseHandle(writeEnd);
  if (started == FALSE) {
    CloseHandle(readEnd);
    return {};
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  char chunk[256] = {};
  DWORD read = 0;
  if (ReadFile(readEnd, chunk, sizeof chunk - 1, &read, nullptr) != FALSE) {
    printed.Add(chunk, read);
  }
  CloseHandle(readEnd);
  return Chain(GetCurrentProcessId(), printed.WaitForLeaf());
}

struct StopCase {
  const char* name;
  std::string command;
  std::vector<std::wstring> tree;  // from the runner's child to the sleeper
  std::vector<bool> ended;         // which of them the stop ends
};

TEST(CmdCommandOpStop, EndsTheShellsOfItsOwnCommandOnly) {
  const StopCase cases[] = {
      {"shells below shells",
       "cmd /C " + Standin("powershell.exe") + " 60",
       {L"cmd.exe", L"cmd.exe", L"powershell.exe"},
       {true, true, true}},
      {"a tool of another name",
       Standin("sleeper.exe") + " 60",
       {L"cmd.exe", L"sleeper.exe"},
       {true, false}},
  };
  for (const StopCase& c : cases) {
    SCOPED_TRACE(c.name);
    Printed otherPrinted;
    std::vector<Held> other = StartOwnTree(Standin("powershell.exe") + " 60", otherPrinted);
    ASSERT_EQ(other.size(), 2u) << otherPrinted.text;

    auto printed = std::make_shared<Printed>();
    std::unique_ptr<ICommandOp> runner = win32::MakeCmdCommandOp();
    ASSERT_TRUE(runner->Run(
        c.command, [printed](const char* data, std::size_t size) { printed->Add(data, size); }));
    EXPECT_FALSE(runner->Run(c.command, [](const char*, std::size_t) {}));  // one at a time
    std::vector<Held> tree = Chain(GetCurrentProcessId(), printed->WaitForLeaf());
    ASSERT_EQ(tree.size(), c.tree.size()) << printed->text;
    for (std::size_t i = 0; i < tree.size(); ++i) {
      EXPECT_EQ(tree[i].name, c.tree[i]) << i;
    }

    runner->Stop();
    for (std::size_t i = 0; i < tree.size(); ++i) {
      if (c.ended[i]) {
        EXPECT_FALSE(tree[i].Running(10000)) << i;
        EXPECT_EQ(tree[i].ExitCode(), 0u) << i;  // by the stop: a sleeper ends on its own with 7
      } else {
        EXPECT_TRUE(tree[i].Running(1000)) << i;
      }
    }
    for (const Held& held : other) {
      EXPECT_TRUE(held.Running(0)) << "this program's own tree was ended";
    }
    runner.reset();
    EndAll(tree);
    EndAll(other);
  }
}

// The caller takes a listing once the runner says the command's output has ended: by then every
// chunk has reached the sink, and a command still running is never reported as ended.
TEST(CmdCommandOpRead, FinishedOnlyOnceTheOutputEndedAndAllOfItWasRead) {
  auto printed = std::make_shared<Printed>();
  std::unique_ptr<ICommandOp> runner = win32::MakeCmdCommandOp();
  EXPECT_FALSE(runner->Finished());
  ASSERT_TRUE(
      runner->Run("echo first& " + Standin("sleeper.exe") + " 5 & echo last",
                  [printed](const char* data, std::size_t size) { printed->Add(data, size); }));
  const DWORD leaf = printed->WaitForLeaf();
  ASSERT_NE(leaf, 0u) << printed->text;
  EXPECT_FALSE(runner->Finished()) << "ended while the sleeper runs";
  for (int waited = 0; waited < 600 && !runner->Finished(); ++waited) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  ASSERT_TRUE(runner->Finished());
  std::lock_guard<std::mutex> lock(printed->mutex);
  EXPECT_EQ(printed->text.find("first"), 0u) << printed->text;
  EXPECT_NE(printed->text.find("last"), std::string::npos) << printed->text;
  runner->Stop();
}

TEST(CmdCommandOpStop, ARunnerThatRanNothingStopsQuietly) {
  std::unique_ptr<ICommandOp> runner = win32::MakeCmdCommandOp();
  runner->Stop();
  runner->Stop();
  SUCCEED();
}

}  // namespace
}  // namespace usagelink::test
