// Watches a running program's main window from outside, for scripts/bench-program: every 10 ms
// a message sent to the window (its answer is the round trip of the window's thread), and once a
// second the process's private memory, threads and handles. Ends when the window goes or the
// stop file appears, printing the longest round trip and the figures at their peak and last.
//   uiwatch TITLE STOPFILE      prints "sample t=UNIXTIME ..." a second, then "round trip:
//                               longest X ms ..." and "resources: ..."
#include <windows.h>
// After windows.h, which they build on.
#include <psapi.h>
#include <tlhelp32.h>

#include <cstdio>
#include <string>

namespace {

struct Resources {
  SIZE_T privateBytes = 0;
  DWORD threads = 0;
  DWORD handles = 0;
};

DWORD ThreadsOf(DWORD process) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  if (snapshot == INVALID_HANDLE_VALUE)
    return 0;
  THREADENTRY32 entry{};
  entry.dwSize = sizeof entry;
  DWORD count = 0;
  for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
    count += entry.th32OwnerProcessID == process ? 1 : 0;
  CloseHandle(snapshot);
  return count;
}

Resources Measure(HANDLE process, DWORD id) {
  Resources r;
  PROCESS_MEMORY_COUNTERS_EX memory{};
  if (GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                           sizeof memory))
    r.privateBytes = memory.PrivateUsage;
  GetProcessHandleCount(process, &r.handles);
  r.threads = ThreadsOf(id);
  return r;
}

// Seconds since 1970, to match the script's clock.
long long UnixSeconds() {
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  ULARGE_INTEGER t;
  t.LowPart = now.dwLowDateTime;
  t.HighPart = now.dwHighDateTime;
  return static_cast<long long>(t.QuadPart / 10000000ULL) - 11644473600LL;
}

double Millis(LARGE_INTEGER from, LARGE_INTEGER to, LARGE_INTEGER rate) {
  return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) /
         static_cast<double>(rate.QuadPart);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: uiwatch TITLE STOPFILE\n");
    return 2;
  }
  HWND window = nullptr;
  for (int i = 0; i < 6000 && !window; ++i, Sleep(10))
    window = FindWindowW(L"KestrelHost", argv[1]);
  if (!window) {
    std::printf("no window titled %ls\n", argv[1]);
    return 1;
  }
  DWORD id = 0;
  GetWindowThreadProcessId(window, &id);
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, id);
  LARGE_INTEGER rate, last, start, now;
  QueryPerformanceFrequency(&rate);
  QueryPerformanceCounter(&last);
  double longest = 0, total = 0;
  long samples = 0, over50 = 0;
  Resources peak, latest;
  while (IsWindow(window) && GetFileAttributesW(argv[2]) == INVALID_FILE_ATTRIBUTES) {
    QueryPerformanceCounter(&start);
    DWORD_PTR answer = 0;
    // A window that does not answer within 10 s counts as that long.
    SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &answer);
    QueryPerformanceCounter(&now);
    double trip = Millis(start, now, rate);
    longest = trip > longest ? trip : longest;
    total += trip;
    ++samples;
    over50 += trip >= 50 ? 1 : 0;
    if (process && Millis(last, now, rate) >= 1000) {
      last = now;
      latest = Measure(process, id);
      std::printf("sample t=%lld private %.1f MB, %lu threads, %lu handles\n", UnixSeconds(),
                  static_cast<double>(latest.privateBytes) / 1048576.0, latest.threads,
                  latest.handles);
      if (latest.privateBytes > peak.privateBytes)
        peak.privateBytes = latest.privateBytes;
      if (latest.threads > peak.threads)
        peak.threads = latest.threads;
      if (latest.handles > peak.handles)
        peak.handles = latest.handles;
    }
    Sleep(10);
  }
  std::printf("round trip: longest %.1f ms, mean %.2f ms, %ld samples, %ld of 50 ms or more\n",
              longest, samples ? total / static_cast<double>(samples) : 0.0, samples, over50);
  std::printf(
      "resources: peak private %.1f MB, %lu threads, %lu handles; last private %.1f MB, "
      "%lu threads, %lu handles\n",
      static_cast<double>(peak.privateBytes) / 1048576.0, peak.threads, peak.handles,
      static_cast<double>(latest.privateBytes) / 1048576.0, latest.threads, latest.handles);
  if (process)
    CloseHandle(process);
  return 0;
}
