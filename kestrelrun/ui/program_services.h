// What the main window needs from the system and the libraries besides the detection run's
// probes: the single-instance claim, UsageLink's calls, NetProbe's set-up and release, the
// browser, the taskbar button, the tester programs and the UI thread's wake-up. Win32 in
// kestrelrun/program/program_services_win32.cpp, a recording fake in the tests.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace kestrelrun {

class IProgramServices {
 public:
  virtual ~IProgramServices() = default;

  // True when another instance of the program runs already; the first call makes the claim.
  virtual bool AnotherInstanceRuns() = 0;
  // Ends the process at once with `code` (an early exit inside the initialisation).
  virtual void ExitProcess(int code) = 0;

  // UsageLink: the version check (202: a newer version exists), the download and feedback
  // pages, the device identity read at start-up and the statistic sent at exit with it.
  virtual int VersionGet() = 0;
  virtual void OpenToolDownUrl() = 0;
  virtual void OpenFeedback() = 0;
  virtual void ReadDeviceInfo() = 0;
  virtual void SendExitStatistic() = 0;
  // Forgets the device identity (shutdown).
  virtual void FreeDeviceInfo() = 0;

  // NetProbe's set-up (the result is ignored) and release.
  virtual void InitDll() = 0;
  virtual void ReleaseDllRes() = 0;

  // Opens an address in the browser; failures are ignored.
  virtual void OpenUrl(const std::wstring& address) = 0;
  // The taskbar button of `window` (a native handle): progress state and value.
  virtual void SetTaskbarProgress(std::uintptr_t window, int state, int value, int total) = 0;
  virtual bool IsMinimised(std::uintptr_t window) = 0;
  // Ends the tester programs still running from the program's own Test folder.
  virtual void EndTesterProcesses() = 0;

  // A wake-up that any thread may call without blocking: each call makes the UI thread run
  // `run` once soon (a posted message). Valid for the lifetime of this object.
  virtual std::function<void()> MakeUiWake(std::function<void()> run) = 0;
};

}  // namespace kestrelrun
