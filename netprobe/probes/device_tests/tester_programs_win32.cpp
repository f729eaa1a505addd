#include "probes/device_tests/tester_programs_win32.h"

#include <windows.h>
// After <windows.h>, which it needs.
#include <io.h>
#include <shellapi.h>

#include "core/win32_services.h"

namespace netprobe::win32 {

bool TesterPrograms::ExeFolder(std::wstring& folder) {
  return GetExeFolder(folder) == 1;
}

bool TesterPrograms::LibraryFolder(std::wstring& folder) {
  return GetLibraryFolder(folder) == 1;
}

void TesterPrograms::ShellRunAndWait(const std::wstring& program) {
  SHELLEXECUTEINFOW info = {};
  info.cbSize = sizeof(info);
  info.fMask = SEE_MASK_NOCLOSEPROCESS;
  info.lpFile = program.c_str();
  info.lpParameters = L"";
  info.nShow = SW_SHOW;
  if (ShellExecuteExW(&info) != FALSE && info.hProcess != nullptr) {
    WaitForSingleObject(info.hProcess, INFINITE);
    CloseHandle(info.hProcess);
  }
}

bool TesterPrograms::RunAndWait(const std::wstring& program) {
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESHOWWINDOW | STARTF_FORCEONFEEDBACK;
  startup.wShowWindow = SW_SHOW;
  PROCESS_INFORMATION process = {};
  // The tester needs none of this process's handles (a concurrent command's pipe among them).
  if (CreateProcessW(program.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                     &startup, &process) == FALSE) {
    return false;
  }
  WaitForSingleObject(process.hProcess, INFINITE);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}

bool TesterPrograms::FileExists(const std::wstring& path) {
  return _waccess(path.c_str(), 0) != -1;
}

void TesterPrograms::RemoveFile(const std::wstring& path) {
  DeleteFileW(path.c_str());
}

}  // namespace netprobe::win32
