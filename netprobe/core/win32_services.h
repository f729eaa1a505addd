// The Win32 side of the platform interfaces. Declared without <windows.h>; defined in the
// *_win32.cpp files of this folder.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "core/platform.h"
#include "kestrel/wow64.h"

namespace netprobe::win32 {

// Nothing here throws: these functions are called from NetProbe's exports.

// Runs "cmd /C <command>" hidden, appends its standard output and error to `output`, byte for
// byte. 1 when the process was started (whatever its exit code), 0 otherwise, in which case
// `output` is unchanged. Waits for the process without a time-out.
int RunCommand(const std::wstring& command, std::string& output) noexcept;
// The same for a full command line without the shell prefix. A command line that cannot be
// passed whole to CreateProcessW (too long, embedded zero) is not started.
int RunCommandLine(const std::wstring& commandLine, std::string& output) noexcept;
// As RunCommand; `exitCode` receives the process's exit code when it was started.
int RunCommandForExitCode(const std::wstring& command, std::string& output,
                          unsigned long& exitCode) noexcept;
// What became of one run of RunCommandTraced, for looking into lost output under load.
struct CommandTrace {
  bool started = false;          // the process was created
  unsigned long startError = 0;  // GetLastError of the step that failed before that
  unsigned long readError = 0;   // what ended the read: a broken pipe (109) when all is well
  std::size_t bytesRead = 0;
  unsigned long waitResult = 0;  // WaitForSingleObject's answer for the process
  unsigned long exitCode = 0;
};
// As RunCommandForExitCode, telling what became of each step.
int RunCommandTraced(const std::wstring& command, std::string& output,
                     CommandTrace& trace) noexcept;
// Runs "cmd /C <command>" without capturing; `show` 0 hides the window. Waits for it; 1 when
// started.
int LaunchCommand(const std::wstring& command, int show) noexcept;
// 1 when this is a 32-bit process on 64-bit Windows (shared with the other modules).
using kestrel::win32::IsWow64;

// The running program's folder, without a trailing backslash. 0 (folder unchanged) when it is
// shorter than 3 characters.
int GetExeFolder(std::wstring& folder) noexcept;
// NetProbe.dll's folder, with its trailing backslash. 0 (folder unchanged) when the module is not
// loaded.
int GetLibraryFolder(std::wstring& folder) noexcept;
// The same folder in the ANSI code page; empty when not found.
std::string GetLibraryFolderAnsi() noexcept;
// The all-users application data folder (CSIDL 35), not created when missing. 0 on failure.
int GetCommonAppDataFolder(std::wstring& folder) noexcept;
// Replaces "<program folder>\<fileName>" with the bytes of `text`. 1 when the file could be
// opened.
int WriteTextFile(const std::string& text, const std::wstring& fileName) noexcept;
// Deletes `path` and writes it again with `text` in text mode. 1 when the file could be opened.
int ReplaceTextFileAt(const std::wstring& path, const std::string& text) noexcept;
// Appends the file's lines without their line ends ("\n", or "\r\n"). 1 when at least one line
// was read, 0 when the file cannot be opened or is empty.
int ReadTextLines(const std::wstring& path, std::vector<std::string>& lines) noexcept;
// Whether the path names anything (_waccess with mode 0).
bool FileExists(const std::wstring& path) noexcept;

class CommandRunner final : public ICommandRunner {
 public:
  int RunCommand(const std::wstring& command, std::string& output) override {
    return win32::RunCommand(command, output);
  }
  int LaunchCommand(const std::wstring& command, int show) override {
    return win32::LaunchCommand(command, show);
  }
  int RunCommandForExitCode(const std::wstring& command, std::string& output,
                            unsigned long& exitCode) override {
    return win32::RunCommandForExitCode(command, output, exitCode);
  }
};

class Files final : public IFiles {
 public:
  int WriteTextFile(const std::string& text, const std::wstring& fileName) override {
    return win32::WriteTextFile(text, fileName);
  }
  int ReadTextLines(const std::wstring& path, std::vector<std::string>& lines) override {
    return win32::ReadTextLines(path, lines);
  }
  int GetCommonAppDataFolder(std::wstring& folder) override {
    return win32::GetCommonAppDataFolder(folder);
  }
  int ReplaceTextFileAt(const std::wstring& path, const std::string& text) override {
    return win32::ReplaceTextFileAt(path, text);
  }
  bool FileExists(const std::wstring& path) override { return win32::FileExists(path); }
};

// The IPv4 adapters GetAdaptersAddresses lists.
class AdapterNames final : public IAdapterNames {
 public:
  bool ListAdapters(std::vector<AdapterName>& adapters) override;
};

// Version, registry, memory and disk queries.
class SystemInfo final : public ISystemInfo {
 public:
  SystemInfo();
  bool OsVersion(unsigned& major, unsigned& minor) override;
  bool ReadCurrentVersionValue(const std::wstring& name, std::wstring& value) override;
  bool MemoryStatus(std::uint64_t& totalBytes, std::uint64_t& availableBytes) override;
  std::wstring SystemDirectory() override;
  bool DiskSpace(const std::wstring& path, std::uint64_t& totalBytes,
                 std::uint64_t& freeToCallerBytes) override;

 private:
  bool wow64_;  // noted once: a 32-bit process on 64-bit Windows reads the 64-bit registry view
};

class Clock final : public IClock {
 public:
  void SleepMilliseconds(unsigned milliseconds) override;
};

// OutputDebugStringW, one line a note.
class DebuggerLog final : public IDiagnosticLog {
 public:
  void Note(const std::wstring& line) override;
};

}  // namespace netprobe::win32
