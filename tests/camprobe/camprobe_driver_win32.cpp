// Drives the real CamProbe.dll under Wine for the camera tests: lists the cameras, opens one
// into a window of its own and reports what the library and the process did. One command a
// run; the lines it prints are read by camprobe_wine_test.sh.
//
//   camprobe_driver list                      "count N", then "camera NUMBER HEX-OF-NAME"
//   camprobe_driver preview MARKER            opens camera 0 and keeps it open until a file
//                                             MARKER.stop appears (at most a minute)
//   camprobe_driver rounds N                  N opens and closes, threads and handles
//   camprobe_driver vanish                    lists, removes the device, then opens it
//   camprobe_driver open NUMBER               one open, its result and code
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

#include "CamProbe.h"
#include "process_counters_win32.h"

namespace {

using camprobe_test::CpuByModule;
using camprobe_test::HandleCount;
using camprobe_test::SettledThreads;
using camprobe_test::ThreadCount;
using camprobe_test::WineLeak;

constexpr int kWindowX = 100;
constexpr int kWindowY = 80;
constexpr int kClientWidth = 600;
constexpr int kClientHeight = 300;
// The rectangle of the camera popup's video area, moved off the window's corner so that a
// picture drawn outside it would show.
constexpr CameraRect kVideo = {40, 30, 40 + 513, 30 + 195};
constexpr COLORREF kBackground = RGB(30, 60, 90);

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM w, LPARAM l) {
  if (message == WM_ERASEBKGND) {
    RECT client;
    GetClientRect(window, &client);
    HBRUSH brush = CreateSolidBrush(kBackground);
    FillRect(reinterpret_cast<HDC>(w), &client, brush);
    DeleteObject(brush);
    return 1;
  }
  return DefWindowProcW(window, message, w, l);
}

HWND MakeWindow() {
  WNDCLASSW type = {};
  type.lpfnWndProc = WindowProc;
  type.hInstance = GetModuleHandleW(nullptr);
  type.lpszClassName = L"CamProbeDriver";
  type.hCursor = LoadCursor(nullptr, IDC_ARROW);
  RegisterClassW(&type);
  HWND window = CreateWindowExW(
      0, type.lpszClassName, L"CamProbe driver", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, kWindowX,
      kWindowY, kClientWidth, kClientHeight, nullptr, nullptr, type.hInstance, nullptr);
  if (window == nullptr) {
    // Without a window every open fails for that reason alone: say so and stop.
    std::printf("no window: error %lu\n", GetLastError());
    std::fflush(stdout);
    ExitProcess(3);
  }
  UpdateWindow(window);
  return window;
}

void Pump(DWORD milliseconds) {
  const DWORD end = GetTickCount() + milliseconds;
  for (;;) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    const DWORD now = GetTickCount();
    if (static_cast<LONG>(end - now) <= 0) {
      return;
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, end - now, QS_ALLINPUT);
  }
}

double Seconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// The test pattern's colours are bright or saturated; the window's own background and the
// renderer's black are neither. Read from the screen, or from the renderer's child window (what
// Wine has drawn into it, before the X server shows it).
bool Bright(COLORREF pixel) {
  const int brightest = std::max({GetRValue(pixel), GetGValue(pixel), GetBValue(pixel)});
  return pixel != CLR_INVALID && brightest > 150;
}

bool ShowsPicture(HWND window) {
  HDC screen = GetDC(nullptr);
  POINT centre = {(kVideo.left + kVideo.right) / 2, (kVideo.top + kVideo.bottom) / 2};
  ClientToScreen(window, &centre);
  const COLORREF pixel = GetPixel(screen, centre.x, centre.y);
  ReleaseDC(nullptr, screen);
  return Bright(pixel);
}

bool RendererShowsPicture(HWND window) {
  HWND video = FindWindowExW(window, nullptr, nullptr, nullptr);
  if (video == nullptr) {
    return false;
  }
  HDC dc = GetDC(video);
  const COLORREF pixel =
      GetPixel(dc, (kVideo.right - kVideo.left) / 2, (kVideo.bottom - kVideo.top) / 2);
  ReleaseDC(video, dc);
  return Bright(pixel);
}

int Open(int number) {
  ProbeError error;
  const int opened = OpenLocalCamera(number, &error);
  std::printf("open %d code %d\n", opened, error.code);
  return opened;
}

int List() {
  CameraList* cameras = nullptr;
  ProbeError error;
  const int listed = GetLocalCamera(&cameras, &error);
  std::printf("list %d code %d\n", listed, error.code);
  if (listed == 0 || cameras == nullptr) {
    return 1;
  }
  std::printf("count %zu\n", cameras->size());
  for (const CameraInfo& camera : *cameras) {
    std::printf("camera %d ", camera.number);
    for (unsigned char c : camera.name) {
      std::printf("%02x", c);
    }
    std::printf("\n");
  }
  return 0;
}

int Preview(const wchar_t* marker) {
  HWND window = MakeWindow();
  Pump(300);
  SetCameraShowVideoWnd(window, kVideo);
  LARGE_INTEGER start, opened, first;
  QueryPerformanceCounter(&start);
  if (Open(0) == 0) {
    return 1;
  }
  QueryPerformanceCounter(&opened);
  LARGE_INTEGER drawn = opened;
  bool inWindow = false;
  bool shown = false;
  for (int i = 0; i < 2000 && !shown; ++i) {
    Pump(1);
    if (!inWindow && RendererShowsPicture(window)) {
      inWindow = true;
      QueryPerformanceCounter(&drawn);
    }
    shown = ShowsPicture(window);
  }
  QueryPerformanceCounter(&first);
  std::printf(
      "open call %.3f s, first frame in the renderer's window %s %.3f s, on the screen "
      "%s %.3f s\n",
      Seconds(start, opened), inWindow ? "after" : "not seen in", Seconds(start, drawn),
      shown ? "after" : "not seen in", Seconds(start, first));
  // How often the picture on the screen changes in a second: the bar's position along one row
  // of the ramp, where only the bar is white.
  int changes = 0;
  if (shown) {
    HDC screen = GetDC(nullptr);
    POINT row = {kVideo.left, kVideo.bottom - 10};
    ClientToScreen(window, &row);
    int last = -1;
    const DWORD end = GetTickCount() + 1000;
    while (static_cast<LONG>(end - GetTickCount()) > 0) {
      int bar = -1;
      for (int x = 0; x < kVideo.right - kVideo.left && bar < 0; x += 2) {
        bar = GetPixel(screen, row.x + x, row.y) == RGB(255, 255, 255) ? x : -1;
      }
      changes += bar != last && last != -1 ? 1 : 0;
      last = bar;
      Pump(5);
    }
    ReleaseDC(nullptr, screen);
  }
  std::printf("picture changes on the screen in the next second: %d\n", changes);
  // The test takes its screenshots once the marker names the video rectangle on the screen.
  POINT corner = {kVideo.left, kVideo.top};
  ClientToScreen(window, &corner);
  if (FILE* file = _wfopen(marker, L"w")) {
    std::fprintf(file, "%ld %ld %d %d\n", corner.x, corner.y, kVideo.right - kVideo.left,
                 kVideo.bottom - kVideo.top);
    std::fclose(file);
  }
  const std::map<std::wstring, ULONGLONG> threadsBefore = CpuByModule();
  FILETIME created, ended, kernelBefore, userBefore, kernelAfter, userAfter;
  GetProcessTimes(GetCurrentProcess(), &created, &ended, &kernelBefore, &userBefore);
  LARGE_INTEGER pumpStart, pumpEnd;
  QueryPerformanceCounter(&pumpStart);
  const std::wstring stop = std::wstring(marker) + L".stop";
  for (int i = 0; i < 600 && GetFileAttributesW(stop.c_str()) == INVALID_FILE_ATTRIBUTES; ++i) {
    Pump(100);
  }
  QueryPerformanceCounter(&pumpEnd);
  GetProcessTimes(GetCurrentProcess(), &created, &ended, &kernelAfter, &userAfter);
  const auto ticks = [](const FILETIME& t) {
    return (static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
  };
  const double busy = static_cast<double>(ticks(kernelAfter) - ticks(kernelBefore) +
                                          ticks(userAfter) - ticks(userBefore)) /
                      1e7;
  const double span = Seconds(pumpStart, pumpEnd);
  std::printf("cpu %.1f%% of one core over %.1f s\n", 100.0 * busy / span, span);
  for (const auto& [module, total] : CpuByModule()) {
    const auto before = threadsBefore.find(module);
    const ULONGLONG spent = total - (before == threadsBefore.end() ? 0 : before->second);
    std::printf("cpu of threads started in %ls: %.2f%%\n", module.c_str(),
                100.0 * static_cast<double>(spent) / 1e7 / span);
  }
  CloseLocalCamera();
  Pump(300);
  std::printf("closed, picture %s\n", ShowsPicture(window) ? "still shown" : "gone");
  ReleaseCameraDllRes();
  DestroyWindow(window);
  return shown ? 0 : 1;
}

int Rounds(int rounds) {
  HWND window = MakeWindow();
  SetCameraShowVideoWnd(window, kVideo);
  int failures = 0;
  int threads = 0;
  DWORD handles = 0;
  for (int round = 0; round <= rounds; ++round) {
    LARGE_INTEGER start, opened, closed;
    QueryPerformanceCounter(&start);
    failures += Open(0) == 0 ? 1 : 0;
    QueryPerformanceCounter(&opened);
    Pump(50);
    if (round == 0) {
      std::printf("threads while open %d\n", ThreadCount());
    }
    LARGE_INTEGER closing;
    QueryPerformanceCounter(&closing);
    CloseLocalCamera();
    QueryPerformanceCounter(&closed);
    std::printf("round %d: open %.3f s, close %.3f s, handles %lu\n", round, Seconds(start, opened),
                Seconds(closing, closed), HandleCount());
    Pump(50);
    // Round 0 loads the DLLs and their helper threads once; what follows must not add any.
    if (round == 0) {
      threads = ThreadCount();
      handles = HandleCount();
    }
  }
  // Listing alone, the same number of times.
  for (int round = 0; round < rounds; ++round) {
    CameraList* cameras = nullptr;
    failures += GetLocalCamera(&cameras, nullptr) == 0 ? 1 : 0;
  }
  std::printf("failures %d\n", failures);
  std::printf("threads %d %d\n", threads, ThreadCount());
  // Each open lists once to find the device again and builds a graph; each listing lists.
  const DWORD handlesAfter = HandleCount();
  std::printf("handles %lu %lu allowed %lu\n", handles, handlesAfter, WineLeak(2 * rounds, rounds));
  ReleaseCameraDllRes();
  DestroyWindow(window);
  return 0;
}

int Vanish() {
  HWND window = MakeWindow();
  SetCameraShowVideoWnd(window, kVideo);
  List();
  const int threads = ThreadCount();
  const LONG removed = RegDeleteTreeW(HKEY_CLASSES_ROOT,
                                      L"CLSID\\{860BB310-5D01-11D0-BD3B-00A0C911CE86}\\Instance\\"
                                      L"{65198AD2-8542-47B5-AC5D-1ED9CC851011}");
  std::printf("removed %ld\n", removed);
  Open(0);
  std::printf("threads %d %d\n", threads, SettledThreads(threads));
  ReleaseCameraDllRes();
  DestroyWindow(window);
  return 0;
}

int OpenOne(int number) {
  HWND window = MakeWindow();
  SetCameraShowVideoWnd(window, kVideo);
  const int threads = ThreadCount();
  LARGE_INTEGER start, opened;
  QueryPerformanceCounter(&start);
  Open(number);
  QueryPerformanceCounter(&opened);
  std::printf("open call %.3f s\n", Seconds(start, opened));
  Pump(100);
  CloseLocalCamera();
  std::printf("threads %d %d\n", threads, SettledThreads(threads));
  ReleaseCameraDllRes();
  DestroyWindow(window);
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::wstring command = argc > 1 ? argv[1] : L"";
  const int number = argc > 2 ? _wtoi(argv[2]) : 0;
  int result = 2;
  if (command == L"list") {
    result = List();
  } else if (command == L"preview" && argc > 2) {
    result = Preview(argv[2]);
  } else if (command == L"rounds") {
    result = Rounds(number);
  } else if (command == L"vanish") {
    result = Vanish();
  } else if (command == L"open") {
    result = OpenOne(number);
  } else {
    std::fprintf(stderr, "usage: camprobe_driver list|preview MARKER|rounds N|vanish|open N\n");
  }
  std::fflush(stdout);
  return result;
}
