// Starting the microphone and camera tester programs and finding what they leave behind.
#pragma once

#include <string>

namespace netprobe {

class ITesterPrograms {
 public:
  virtual ~ITesterPrograms() = default;
  // The running program's folder, without a trailing backslash. False when unknown.
  virtual bool ExeFolder(std::wstring& folder) = 0;
  // NetProbe.dll's folder, with its trailing backslash. False when unknown.
  virtual bool LibraryFolder(std::wstring& folder) = 0;
  // Starts the program through the shell, shown, and waits for its end; the outcome of the start
  // is not reported.
  virtual void ShellRunAndWait(const std::wstring& program) = 0;
  // Starts the program as a process of its own, shown, and waits for its end. False when it
  // could not be started.
  virtual bool RunAndWait(const std::wstring& program) = 0;
  virtual bool FileExists(const std::wstring& path) = 0;
  virtual void RemoveFile(const std::wstring& path) = 0;
};

}  // namespace netprobe
