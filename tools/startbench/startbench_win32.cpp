// Times a GUI program from CreateProcess to its first painted window: a visible top-level
// window of the new process, not layered, at least 200 x 200, whose update region is empty (its
// first WM_PAINT has run). Polls every millisecond, then ends the process and starts the next run.
//   startbench RUNS PROGRAM.exe      prints "run N: shown X ms, painted Y ms" a run
// Exit code 1 when a run shows no painted window within 60 s.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

struct Search {
  DWORD process = 0;
  bool shown = false;
  bool painted = false;
};

BOOL CALLBACK CheckWindow(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<Search*>(param);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != search->process || !IsWindowVisible(window))
    return TRUE;
  // A layered window (a shadow) is never painted through WM_PAINT, so it tells nothing.
  if ((GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_LAYERED) != 0)
    return TRUE;
  RECT rect;
  if (!GetWindowRect(window, &rect) || rect.right - rect.left < 200 || rect.bottom - rect.top < 200)
    return TRUE;
  search->shown = true;
  if (!GetUpdateRect(window, nullptr, FALSE)) {
    search->painted = true;
    return FALSE;
  }
  return TRUE;
}

double Millis(const LARGE_INTEGER& from, const LARGE_INTEGER& to, const LARGE_INTEGER& rate) {
  return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) /
         static_cast<double>(rate.QuadPart);
}

// One run; false when the program showed no painted window in time.
bool TimeOnce(const std::wstring& program, double& shown_ms, double& painted_ms) {
  std::wstring command = L"\"" + program + L"\"";
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info = {};
  LARGE_INTEGER rate, start, now;
  QueryPerformanceFrequency(&rate);
  QueryPerformanceCounter(&start);
  if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &info))
    return false;
  Search search;
  search.process = info.dwProcessId;
  shown_ms = -1;
  bool painted = false;
  for (;;) {
    EnumWindows(CheckWindow, reinterpret_cast<LPARAM>(&search));
    QueryPerformanceCounter(&now);
    if (search.shown && shown_ms < 0)
      shown_ms = Millis(start, now, rate);
    if (search.painted) {
      painted_ms = Millis(start, now, rate);
      painted = true;
      break;
    }
    if (Millis(start, now, rate) > 60000.0 || WaitForSingleObject(info.hProcess, 1) == 0)
      break;
  }
  TerminateProcess(info.hProcess, 0);
  WaitForSingleObject(info.hProcess, 10000);
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
  return painted;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: startbench RUNS PROGRAM.exe\n");
    return 2;
  }
  const long runs = std::wcstol(argv[1], nullptr, 10);
  for (long run = 1; run <= runs; ++run) {
    double shown = 0, painted = 0;
    if (!TimeOnce(argv[2], shown, painted)) {
      std::printf("run %ld: no painted window\n", run);
      return 1;
    }
    std::printf("run %ld: shown %.1f ms, painted %.1f ms\n", run, shown, painted);
    std::fflush(stdout);
    Sleep(500);  // the ended process's windows and its server-side objects go first
  }
  return 0;
}
