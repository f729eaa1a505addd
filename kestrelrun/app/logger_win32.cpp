// The log's system side: the program folder, folder creation, the local time, "a+" files.
#include <windows.h>

#include <dbghelp.h>

#include <cstdio>
#include <string>

#include "app/logger.h"
#include "app/logger_win32.h"

namespace LOGGER {

std::string Win32LogPlatform::ProgramFolder() {
  char path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path, length);
  const std::size_t slash = folder.find_last_of("\\/");
  return slash == std::string::npos ? std::string() : folder.substr(0, slash + 1);
}

bool Win32LogPlatform::MakeSureDirectoryPathExists(const std::string& folder) {
  return ::MakeSureDirectoryPathExists(folder.c_str()) != FALSE;
}

LocalTime Win32LogPlatform::Now() {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  return LocalTime{now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

std::FILE* Win32LogPlatform::OpenAppend(const std::string& path) {
  return std::fopen(path.c_str(), "a+");
}

}  // namespace LOGGER
