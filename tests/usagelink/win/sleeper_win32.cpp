// Stands in for a long-running tool in the runner's process tests, copied as powershell.exe and
// sleeper.exe: prints "pid=<its process id>", then sleeps the seconds its argument gives (60 by
// default) and ends with exit code 7, so an end by force (exit code 0) tells itself apart.
#include <windows.h>

#include <cstdio>
#include <cwchar>

int wmain(int argc, wchar_t** argv) {
  const long seconds = argc > 1 ? std::wcstol(argv[1], nullptr, 10) : 60;
  char line[32] = {};
  const int length = std::snprintf(line, sizeof line, "pid=%lu\r\n", GetCurrentProcessId());
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), line, static_cast<DWORD>(length), &written, nullptr);
  Sleep(static_cast<DWORD>(seconds > 0 ? seconds : 0) * 1000);
  return 7;
}
