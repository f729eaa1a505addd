// CCmdCommandOp: runs "cmd /C <command>" hidden, reads its pipe on a worker thread every 500 ms,
// and on Stop ends the cmd.exe and powershell.exe processes it started (its child and that
// child's descendants), leaving every other process alone.
#include <windows.h>

#include <tlhelp32.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "device/cmd_command_op_win32.h"
#include "device/process_tree.h"
#include "kestrel/child_start.h"
#include "kestrel/event_thread.h"

namespace usagelink::win32 {

namespace {

// What the read step uses; held by the worker's callback so a stop that gives up waiting never
// frees it under a read in progress.
struct ReadState {
  HANDLE readEnd = nullptr;
  ICommandOp::Sink sink;
  std::atomic<bool> ended{false};
  ~ReadState() {
    if (readEnd != nullptr) {
      CloseHandle(readEnd);
    }
  }
};

class CCmdCommandOp final : public ICommandOp {
 public:
  ~CCmdCommandOp() override { Stop(); }

  bool Run(const std::string& command, Sink sink) override {
    if (state_ != nullptr) {
      return false;
    }
    // Neither end is inheritable: a child started meanwhile by another thread would keep a copy
    // open, and the read would not end with our own child.
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (CreatePipe(&readEnd, &writeEnd, nullptr, 0) == FALSE) {
      return false;
    }
    const std::string line = "cmd /C " + command;
    const int length = MultiByteToWideChar(CP_ACP, 0, line.c_str(), -1, nullptr, 0);
    std::wstring wide(length > 0 ? static_cast<std::size_t>(length) : 1, L'\0');
    MultiByteToWideChar(CP_ACP, 0, line.c_str(), -1, wide.data(), length);
    PROCESS_INFORMATION process{};
    // The write end is the one handle the child inherits.
    const bool started = kestrel::StartChildWithOutput(wide.data(), writeEnd, SW_HIDE, process);
    CloseHandle(writeEnd);
    if (!started) {
      CloseHandle(readEnd);
      return false;
    }
    CloseHandle(process.hThread);
    process_ = process.hProcess;
    childId_ = process.dwProcessId;
    auto state = std::make_shared<ReadState>();
    state->readEnd = readEnd;
    state->sink = std::move(sink);
    state_ = state;
    worker_.Create([state] {
      char chunk[4096] = {};
      DWORD read = 0;
      if (ReadFile(state->readEnd, chunk, sizeof(chunk) - 1, &read, nullptr) != FALSE) {
        if (read > 0) {
          state->sink(chunk, read);
        }
      } else if (GetLastError() == ERROR_BROKEN_PIPE) {
        state->ended = true;  // every holder of the write end has closed it: nothing more to read
        return false;
      }
      Sleep(500);
      return true;
    });
    worker_.SetRun(true);
    return true;
  }

  bool Finished() override { return state_ != nullptr && state_->ended; }

  void Stop() override {
    if (state_ == nullptr) {
      return;
    }
    EndOwnShells();
    worker_.Stop(0);  // a read in progress ends on its own once the child is gone
    state_.reset();
    CloseHandle(process_);
    process_ = nullptr;
  }

 private:
  // The child and its descendants, taken from one snapshot with each process's creation time.
  void EndOwnShells() {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) {
      return;
    }
    std::vector<ProcessEntry> all;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(snapshot, &entry); more != FALSE;
         more = Process32NextW(snapshot, &entry)) {
      all.push_back({entry.th32ProcessID, entry.th32ParentProcessID,
                     CreationTime(entry.th32ProcessID), entry.szExeFile});
    }
    CloseHandle(snapshot);
    for (const std::uint32_t id : OwnShells(all, childId_)) {
      HANDLE handle = OpenProcess(PROCESS_ALL_ACCESS, FALSE, id);
      if (handle != nullptr) {
        TerminateProcess(handle, 0);
        CloseHandle(handle);
      }
    }
  }

  // 0 when the process cannot be asked (it then cannot be ended either). The child's comes from
  // the handle held since its start, so its id cannot have been given to another process.
  std::uint64_t CreationTime(DWORD id) const {
    HANDLE handle =
        id == childId_ ? process_ : OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id);
    if (handle == nullptr) {
      return 0;
    }
    FILETIME created{};
    FILETIME unused[3] = {};
    const BOOL ok = GetProcessTimes(handle, &created, &unused[0], &unused[1], &unused[2]);
    if (handle != process_) {
      CloseHandle(handle);
    }
    return ok != FALSE
               ? (static_cast<std::uint64_t>(created.dwHighDateTime) << 32) | created.dwLowDateTime
               : 0;
  }

  kestrel::CEventThread worker_;
  std::shared_ptr<ReadState> state_;
  HANDLE process_ = nullptr;
  DWORD childId_ = 0;
};

}  // namespace

std::unique_ptr<ICommandOp> MakeCmdCommandOp() {
  return std::make_unique<CCmdCommandOp>();
}

}  // namespace usagelink::win32
