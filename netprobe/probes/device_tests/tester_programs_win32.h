// The Win32 side of starting the tester programs. Declared without <windows.h>.
#pragma once

#include "probes/device_tests/tester_platform.h"

namespace netprobe::win32 {

class TesterPrograms final : public ITesterPrograms {
 public:
  bool ExeFolder(std::wstring& folder) override;
  bool LibraryFolder(std::wstring& folder) override;
  void ShellRunAndWait(const std::wstring& program) override;
  bool RunAndWait(const std::wstring& program) override;
  bool FileExists(const std::wstring& path) override;
  void RemoveFile(const std::wstring& path) override;
};

}  // namespace netprobe::win32
