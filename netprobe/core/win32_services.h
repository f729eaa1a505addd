// The Win32 side of the platform interfaces. Declared without <windows.h>; defined in the
// *_win32.cpp files of this folder.
#pragma once

#include <string>
#include <vector>

#include "core/platform.h"

namespace netprobe::win32 {

// Runs "cmd /C <command>" hidden, appends its standard output and error to `output`.
// 1 when the process was started, 0 otherwise.
int RunCommand(const std::wstring& command, std::string& output);
// Runs "cmd /C <command>" without capturing; `show` 0 hides the window. 1 when started.
int LaunchCommand(const std::wstring& command, int show);
// 1 when this is a 32-bit process on 64-bit Windows.
int IsWow64();

// The running program's folder, without a trailing backslash. 0 when shorter than 3 characters.
int GetExeFolder(std::wstring& folder);
// NetProbe.dll's folder, with its trailing backslash. 0 when the module is not loaded.
int GetLibraryFolder(std::wstring& folder);
// The same folder in the ANSI code page; empty when not found.
std::string GetLibraryFolderAnsi();
// The all-users application data folder (CSIDL 35). 0 on failure.
int GetCommonAppDataFolder(std::wstring& folder);
// Replaces "<program folder>\<fileName>" with `text`. 1 when the file could be opened.
int WriteTextFile(const std::string& text, const std::wstring& fileName);
// Appends the file's lines without their line ends. 1 when at least one line was read.
int ReadTextLines(const std::wstring& path, std::vector<std::string>& lines);

class CommandRunner final : public ICommandRunner {
 public:
  int RunCommand(const std::wstring& command, std::string& output) override {
    return win32::RunCommand(command, output);
  }
  int LaunchCommand(const std::wstring& command, int show) override {
    return win32::LaunchCommand(command, show);
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
};

}  // namespace netprobe::win32
