// simtools: stands in for a Windows command-line tool (wmic, netsh, ping, arp, winsat,
// powershell, sc) by printing what that tool printed on a recorded machine.
//
// It is one program copied under each tool's name: the name it runs under says which tool it
// is, the raw command-line tail says what was asked, KESTREL_PROFILE names the profile folder.
// KESTREL_SIMLOG, when set, names a file that receives one line per call; it also tells which
// run of a repeated command this is, since every call is a separate process.
// KESTREL_SIMDELAY, when set, makes chosen commands slow, as netsh or a hung tool is on a real
// PC: it is logged at once, and answers after the delay (profile.h, DelayFor).
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <string>

#include "profile.h"

namespace {

std::wstring EnvironmentValue(const wchar_t* name) {
  const DWORD size = GetEnvironmentVariableW(name, nullptr, 0);
  if (size == 0) {
    return {};
  }
  std::wstring value(size, L'\0');
  const DWORD got = GetEnvironmentVariableW(name, &value[0], size);
  value.resize(got < size ? got : 0);
  return value;
}

// The file name this copy runs under, e.g. "ping.exe".
std::wstring OwnFileName() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD got = GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
    if (got == 0) {
      return L"simtools.exe";
    }
    if (got < path.size()) {
      path.resize(got);
      return path.substr(path.find_last_of(L"\\/") + 1);
    }
    path.resize(path.size() * 2);
  }
}

std::string ReadWholeHandle(HANDLE file) {
  std::string content;
  char buffer[8192];
  DWORD got = 0;
  while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) {
    content.append(buffer, got);
  }
  return content;
}

// A busy machine may refuse to open the log for a moment; it is tried this often, this far apart.
constexpr int kLogOpenAttempts = 100;
constexpr DWORD kLogOpenPauseMs = 20;

// Appends `entry` to the call log; `earlier` receives how many equal entries were there before
// it. The whole file is locked meanwhile: the LAN sweep runs hundreds of copies at once, and
// each must count and append as one step. False when the line could not be written: the call
// then fails loudly rather than go missing from the log.
bool LogCall(const std::wstring& logPath, const std::string& entry, std::size_t& earlier) {
  HANDLE file = INVALID_HANDLE_VALUE;
  for (int attempt = 0; attempt < kLogOpenAttempts && file == INVALID_HANDLE_VALUE; ++attempt) {
    if (attempt > 0) {
      Sleep(kLogOpenPauseMs);
    }
    file = CreateFileW(logPath.c_str(), GENERIC_READ | FILE_APPEND_DATA,
                       FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
  }
  if (file == INVALID_HANDLE_VALUE) {
    return false;
  }
  OVERLAPPED whole = {};
  const bool locked = LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK, 0, MAXDWORD, MAXDWORD, &whole);
  earlier = simtools::CountLogEntries(ReadWholeHandle(file), entry);
  const std::string line = entry + "\n";
  DWORD written = 0;
  const bool wrote =
      WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr) &&
      written == line.size();
  if (locked) {
    UnlockFileEx(file, 0, MAXDWORD, MAXDWORD, &whole);
  }
  CloseHandle(file);
  return wrote;
}

int Refuse(const std::wstring& self, const std::string& message) {
  const std::string line = simtools::WideToUtf8(self) + " (simtools): " + message + "\n";
  std::fwrite(line.data(), 1, line.size(), stderr);
  return 1;
}

}  // namespace

int wmain() {
  const std::wstring self = OwnFileName();
  std::string program;
  std::string arguments;
  simtools::SplitCommandLine(simtools::WideToUtf8(GetCommandLineW()), &program, &arguments);
  const std::string command = simtools::NormaliseCommand(simtools::WideToUtf8(self), arguments);

  const std::wstring profileFolder = EnvironmentValue(L"KESTREL_PROFILE");
  const std::wstring logPath = EnvironmentValue(L"KESTREL_SIMLOG");

  simtools::Profile profile;
  std::string error;
  bool known = false;
  if (profileFolder.empty()) {
    error = "KESTREL_PROFILE is not set, no answer to \"" + command + "\"";
  } else if (profile.Load(simtools::WideToUtf8(profileFolder), &error)) {
    known = profile.Knows(command);
    if (!known) {
      error = "no recording of \"" + command + "\" in profile " + profile.folder();
    }
  }

  std::size_t position = 0;
  if (!logPath.empty() &&
      !LogCall(logPath, known ? command : simtools::UnknownLogEntry(command), position)) {
    Refuse(self,
           "could not write \"" + command + "\" to the call log " + simtools::WideToUtf8(logPath));
    return 3;
  }
  // After the log line, so that a test sees the slow call begin.
  if (const unsigned long delay = simtools::DelayFor(
          simtools::WideToUtf8(EnvironmentValue(L"KESTREL_SIMDELAY")), command)) {
    Sleep(delay);
  }
  std::string output;
  if (!known || !profile.Recording(command, position, &output, &error)) {
    return Refuse(self, error);
  }

  // Binary mode: the recorded bytes (GBK text, CR CR LF) must arrive unchanged.
  _setmode(_fileno(stdout), _O_BINARY);
  std::fwrite(output.data(), 1, output.size(), stdout);
  std::fflush(stdout);
  return 0;
}
