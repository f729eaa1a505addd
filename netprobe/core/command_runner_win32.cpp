// Runs Windows command-line tools through "cmd /C", hidden, and captures what they print.
#include <windows.h>

#include <string>

#include "core/win32_services.h"
#include "kestrel/child_start.h"

namespace netprobe::win32 {

namespace {

// CreateProcessW refuses longer command lines (32767 characters with the terminating zero).
constexpr std::size_t kMaxCommandLine = 32766;
// The pipe is drained in chunks of this size, with a short pause after each.
constexpr DWORD kChunkSize = 1023;
constexpr DWORD kPauseAfterChunkMs = 10;

// Closes a kernel handle when it goes out of scope, so every early return closes it.
class OwnedHandle {
 public:
  OwnedHandle() = default;
  explicit OwnedHandle(HANDLE handle) : handle_(handle) {}
  OwnedHandle(const OwnedHandle&) = delete;
  OwnedHandle& operator=(const OwnedHandle&) = delete;
  ~OwnedHandle() { Close(); }

  HANDLE get() const { return handle_; }
  HANDLE* out() { return &handle_; }
  void Close() {
    if (handle_ != nullptr) {
      CloseHandle(handle_);
      handle_ = nullptr;
    }
  }

 private:
  HANDLE handle_ = nullptr;
};

// Under WOW64 the 32-bit process must see the 64-bit system folder, so that "winsat" and
// "powershell" are the real 64-bit tools. The switch is per thread and restored on every path.
class Wow64RedirectionOff {
 public:
  Wow64RedirectionOff() {
    if (IsWow64() == 1) {
      disabled_ = Wow64DisableWow64FsRedirection(&previous_) != FALSE;
      failed_ = !disabled_;
    }
  }
  Wow64RedirectionOff(const Wow64RedirectionOff&) = delete;
  Wow64RedirectionOff& operator=(const Wow64RedirectionOff&) = delete;
  ~Wow64RedirectionOff() {
    if (disabled_) {
      Wow64RevertWow64FsRedirection(previous_);
    }
  }

  bool failed() const { return failed_; }

 private:
  PVOID previous_ = nullptr;
  bool disabled_ = false;
  bool failed_ = false;
};

// A copy of the command line that CreateProcessW may write into; false when it cannot be passed
// whole (too long, or an embedded zero would cut it short): running a shortened command would
// run something other than what was asked.
bool PrepareCommandLine(const std::wstring& commandLine, std::wstring& buffer) {
  if (commandLine.size() > kMaxCommandLine || commandLine.find(L'\0') != std::wstring::npos) {
    return false;
  }
  buffer = commandLine;
  return true;
}

STARTUPINFOW StartupInfoShowing(WORD showWindow) {
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  GetStartupInfoW(&startup);
  startup.wShowWindow = showWindow;
  startup.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES;
  return startup;
}

// Reads until every writer has closed its end. Appends exactly the bytes read: tools may print
// zero bytes, and what follows them is still output. Returns the error that ended the read.
DWORD DrainPipe(HANDLE readEnd, std::string& output, std::size_t& bytesRead) noexcept {
  char chunk[kChunkSize + 1];
  for (;;) {
    DWORD read = 0;
    if (ReadFile(readEnd, chunk, kChunkSize, &read, nullptr) == FALSE) {
      return GetLastError();  // a broken pipe: the child and its descendants are gone
    }
    try {
      output.append(chunk, read);
      bytesRead += read;
    } catch (...) {
      return ERROR_NOT_ENOUGH_MEMORY;  // closing our end lets the child finish
    }
    Sleep(kPauseAfterChunkMs);
  }
}

// Waits for the process and closes its handles; `waitResult` and `exitCode` as the system gave
// them (exit code 0 when it cannot be read). A failing tool still counts as started.
void WaitAndClose(PROCESS_INFORMATION& process, DWORD& waitResult, DWORD& exitCode) {
  waitResult = WaitForSingleObject(process.hProcess, INFINITE);
  exitCode = 0;
  if (GetExitCodeProcess(process.hProcess, &exitCode) == FALSE) {
    exitCode = 0;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
}

int LaunchCommandLine(const std::wstring& commandLine, int show) noexcept {
  try {
    std::wstring buffer;
    if (!PrepareCommandLine(commandLine, buffer)) {
      return 0;
    }
    Wow64RedirectionOff redirection;
    if (redirection.failed()) {
      return 0;
    }
    STARTUPINFOW startup = StartupInfoShowing(show != 0 ? SW_SHOW : SW_HIDE);
    PROCESS_INFORMATION process{};
    if (CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                       &startup, &process) == FALSE) {
      return 0;
    }
    DWORD waitResult = 0;
    DWORD exitCode = 0;
    WaitAndClose(process, waitResult, exitCode);
    return 1;
  } catch (...) {
    return 0;
  }
}

std::wstring WithShell(const std::wstring& command) {
  return L"cmd /C " + command;
}

int RunCommandLineTraced(const std::wstring& commandLine, std::string& output,
                         CommandTrace& trace) noexcept {
  trace = CommandTrace();
  try {
    std::wstring buffer;
    if (!PrepareCommandLine(commandLine, buffer)) {
      trace.startError = ERROR_INVALID_PARAMETER;
      return 0;
    }
    Wow64RedirectionOff redirection;
    if (redirection.failed()) {
      trace.startError = GetLastError();
      return 0;
    }

    // Neither end is inheritable: a command started meanwhile by another thread would keep a
    // copy of this write end open, and this read would wait for that other command to end.
    OwnedHandle readEnd;
    OwnedHandle writeEnd;
    if (CreatePipe(readEnd.out(), writeEnd.out(), nullptr, 0) == FALSE) {
      trace.startError = GetLastError();
      return 0;
    }

    PROCESS_INFORMATION process{};
    // The write end is the one handle the child inherits. Our copy closes at once, so the read
    // ends when the child and its descendants are done.
    if (!kestrel::StartChildWithOutput(buffer.data(), writeEnd.get(), SW_HIDE, process)) {
      trace.startError = GetLastError();
      return 0;
    }
    writeEnd.Close();
    trace.started = true;
    trace.readError = DrainPipe(readEnd.get(), output, trace.bytesRead);
    readEnd.Close();
    DWORD waitResult = 0;
    DWORD exitCode = 0;
    WaitAndClose(process, waitResult, exitCode);
    trace.waitResult = waitResult;
    trace.exitCode = exitCode;
    return 1;
  } catch (...) {
    trace.startError = ERROR_NOT_ENOUGH_MEMORY;
    return 0;
  }
}

}  // namespace

int RunCommandLine(const std::wstring& commandLine, std::string& output) noexcept {
  CommandTrace trace;
  return RunCommandLineTraced(commandLine, output, trace);
}

int RunCommand(const std::wstring& command, std::string& output) noexcept {
  unsigned long exitCode = 0;
  return RunCommandForExitCode(command, output, exitCode);
}

int RunCommandForExitCode(const std::wstring& command, std::string& output,
                          unsigned long& exitCode) noexcept {
  CommandTrace trace;
  const int started = RunCommandTraced(command, output, trace);
  if (started == 1) {
    exitCode = trace.exitCode;
  }
  return started;
}

int RunCommandTraced(const std::wstring& command, std::string& output,
                     CommandTrace& trace) noexcept {
  try {
    return RunCommandLineTraced(WithShell(command), output, trace);
  } catch (...) {
    trace = CommandTrace();
    trace.startError = ERROR_NOT_ENOUGH_MEMORY;
    return 0;
  }
}

int LaunchCommand(const std::wstring& command, int show) noexcept {
  try {
    return LaunchCommandLine(WithShell(command), show);
  } catch (...) {
    return 0;
  }
}

}  // namespace netprobe::win32
