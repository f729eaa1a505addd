// Watches a running program's main window from outside, for scripts/bench-program: every 10 ms
// a message sent to the window (its answer is the round trip of the window's thread). Ends when
// the window goes or the stop file appears. The process's memory, threads and handles are read
// by the program itself (its state dump): Wine gives 0 for another process's.
//   uiwatch TITLE STOPFILE      prints "slow t=UNIXTIME X ms" for each answer of 50 ms or more,
//                               then "round trip: longest X ms ..."
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

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
  LARGE_INTEGER rate, start, now;
  QueryPerformanceFrequency(&rate);
  double longest = 0, total = 0;
  long samples = 0, over50 = 0;
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
    if (trip >= 50)
      std::printf("slow t=%lld %.1f ms\n", UnixSeconds(), trip);
    Sleep(10);
  }
  std::printf("round trip: longest %.1f ms, mean %.2f ms, %ld samples, %ld of 50 ms or more\n",
              longest, samples ? total / static_cast<double>(samples) : 0.0, samples, over50);
  return 0;
}
