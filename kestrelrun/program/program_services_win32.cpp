#include "program_services_win32.h"

#include <windows.h>
// After windows.h, which they build on.
#include <shellapi.h>
#include <shobjidl.h>
#include <tlhelp32.h>

#include <ctime>

#include "NetProbe.h"
#include "ui/shutdown_rules.h"

namespace kestrelrun {
namespace {

// Held for the process's life by the first instance; the name is the product's, so a program
// that merely shares the file name does not count, and one of another letter case neither.
constexpr const wchar_t* kInstanceMutex = L"Local\\Lessora.KestrelRun.10090";
constexpr UINT kWakeMessage = WM_APP + 0x51;
constexpr const wchar_t* kWakeClass = L"KestrelRunWake";

}  // namespace

// A message-only window of the UI thread: each posted wake message runs the callback there.
struct Win32ProgramServices::WakeWindow {
  explicit WakeWindow(std::function<void()> callback) : run(std::move(callback)) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kWakeClass;
    RegisterClassW(&wc);  // fails harmlessly when already registered
    hwnd = CreateWindowExW(0, kWakeClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance,
                           nullptr);
    if (hwnd)
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  ~WakeWindow() {
    if (hwnd) {
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
      DestroyWindow(hwnd);
    }
  }
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == kWakeMessage) {
      auto* self = reinterpret_cast<WakeWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
      if (self && self->run)
        self->run();
      return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
  }

  std::function<void()> run;
  HWND hwnd = nullptr;
};

Win32ProgramServices::Win32ProgramServices(std::wstring programFolder, ITaskbarList3* taskbar)
    : programFolder_(std::move(programFolder)), taskbar_(taskbar) {}

Win32ProgramServices::~Win32ProgramServices() {
  if (instanceMutex_)
    CloseHandle(instanceMutex_);
}

bool Win32ProgramServices::AnotherInstanceRuns() {
  if (instanceMutex_)
    return false;
  HANDLE mutex = CreateMutexW(nullptr, TRUE, kInstanceMutex);
  DWORD error = GetLastError();
  if (!mutex)
    return error == ERROR_ACCESS_DENIED;  // held by an instance of another account
  if (error == ERROR_ALREADY_EXISTS) {
    CloseHandle(mutex);
    return true;
  }
  instanceMutex_ = mutex;
  return false;
}

void Win32ProgramServices::ExitProcess(int code) {
  ::ExitProcess(static_cast<UINT>(code));
}

int Win32ProgramServices::VersionGet() {
  VersionRequest product = ProductRecord();
  return DataCollection_VersionGet(&product);
}

void Win32ProgramServices::OpenToolDownUrl() {
  DataCollection_OpenToolDownUrl();
}

void Win32ProgramServices::OpenFeedback() {
  VersionRequest product = ProductRecord();
  DataCollection_OpenFeedbackQuestion(&product);
}

void Win32ProgramServices::ReadDeviceInfo() {
  if (deviceInfo_)
    DataCollection_GetDeviceInfo(deviceInfo_.get());
}

void Win32ProgramServices::SendExitStatistic() {
  StatisticsRecord record =
      MakeExitStatistic(deviceInfo_ ? *deviceInfo_ : DeviceInfo{}, std::time(nullptr));
  DataCollection_OperationResponse(&record);
}

void Win32ProgramServices::FreeDeviceInfo() {
  deviceInfo_.reset();
}

void Win32ProgramServices::InitDll() {
  ProbeError error;
  ::InitDll(&error);
}

void Win32ProgramServices::ReleaseDllRes() {
  ::ReleaseDllRes();
}

void Win32ProgramServices::OpenUrl(const std::wstring& address) {
  ShellExecuteW(nullptr, L"open", address.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void Win32ProgramServices::SetTaskbarProgress(std::uintptr_t window, int state, int value,
                                              int total) {
  if (!taskbar_ || !window)
    return;
  HWND hwnd = reinterpret_cast<HWND>(window);
  taskbar_->SetProgressState(hwnd, static_cast<TBPFLAG>(state));
  taskbar_->SetProgressValue(hwnd, static_cast<ULONGLONG>(value), static_cast<ULONGLONG>(total));
}

bool Win32ProgramServices::IsMinimised(std::uintptr_t window) {
  return window && IsIconic(reinterpret_cast<HWND>(window));
}

void Win32ProgramServices::EndTesterProcesses() {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE)
    return;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot, &entry); more;
       more = Process32NextW(snapshot, &entry)) {
    bool named = false;
    for (const wchar_t* tester : kTesterNames)
      named = named || lstrcmpiW(entry.szExeFile, tester) == 0;
    if (!named)
      continue;
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE, FALSE,
                                 entry.th32ProcessID);
    if (!process)
      continue;
    // Only a tester started from our own Test folder, never another program of that name.
    wchar_t image[32768];
    DWORD length = static_cast<DWORD>(sizeof image / sizeof image[0]);
    if (QueryFullProcessImageNameW(process, 0, image, &length) &&
        IsOwnTester(std::wstring(image, length), programFolder_))
      TerminateProcess(process, 0);
    CloseHandle(process);
  }
  CloseHandle(snapshot);
}

std::function<void()> Win32ProgramServices::MakeUiWake(std::function<void()> run) {
  wake_ = std::make_unique<WakeWindow>(std::move(run));
  HWND hwnd = wake_->hwnd;
  // Posting to a window that has gone (after shutdown) fails harmlessly.
  return [hwnd] { PostMessageW(hwnd, kWakeMessage, 0, 0); };
}

}  // namespace kestrelrun
