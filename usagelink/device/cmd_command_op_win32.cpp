// CCmdCommandOp: runs "cmd /C <command>" hidden, reads its pipe on a worker thread every 500 ms,
// and on Stop ends the cmd.exe and powershell.exe processes it started (its child and that
// child's descendants), leaving every other process alone.
#include <windows.h>

#include <tlhelp32.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "device/cmd_command_op_win32.h"
#include "kestrel/event_thread.h"

namespace usagelink::win32 {

namespace {

// What the read step uses; held by the worker's callback so a stop that gives up waiting never
// frees it under a read in progress.
struct ReadState {
  HANDLE readEnd = nullptr;
  ICommandOp::Sink sink;
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
    SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (CreatePipe(&readEnd, &writeEnd, &inheritable, 0) == FALSE) {
      return false;
    }
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    const std::string line = "cmd /C " + command;
    const int length = MultiByteToWideChar(CP_ACP, 0, line.c_str(), -1, nullptr, 0);
    std::wstring wide(length > 0 ? static_cast<std::size_t>(length) : 1, L'\0');
    MultiByteToWideChar(CP_ACP, 0, line.c_str(), -1, wide.data(), length);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES;
    startup.wShowWindow = SW_HIDE;
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    PROCESS_INFORMATION process{};
    if (CreateProcessW(nullptr, wide.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                       &process) == FALSE) {
      CloseHandle(readEnd);
      CloseHandle(writeEnd);
      return false;
    }
    CloseHandle(writeEnd);
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
      if (ReadFile(state->readEnd, chunk, sizeof(chunk) - 1, &read, nullptr) != FALSE && read > 0) {
        state->sink(chunk, read);
      }
      Sleep(500);
      return true;
    });
    worker_.SetRun(true);
    return true;
  }

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
  // The child and its descendants by parent id, taken from one snapshot.
  void EndOwnShells() {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) {
      return;
    }
    std::vector<PROCESSENTRY32W> all;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(snapshot, &entry); more != FALSE;
         more = Process32NextW(snapshot, &entry)) {
      all.push_back(entry);
    }
    CloseHandle(snapshot);
    std::set<DWORD> ours = {childId_};
    for (bool grew = true; grew;) {
      grew = false;
      for (const PROCESSENTRY32W& process : all) {
        if (ours.count(process.th32ParentProcessID) != 0 &&
            ours.insert(process.th32ProcessID).second) {
          grew = true;
        }
      }
    }
    for (const PROCESSENTRY32W& process : all) {
      const std::wstring name = process.szExeFile;
      if (ours.count(process.th32ProcessID) == 0 ||
          (name != L"cmd.exe" && name != L"powershell.exe")) {
        continue;
      }
      HANDLE handle = OpenProcess(PROCESS_ALL_ACCESS, FALSE, process.th32ProcessID);
      if (handle != nullptr) {
        TerminateProcess(handle, 0);
        CloseHandle(handle);
      }
    }
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
