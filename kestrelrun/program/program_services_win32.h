// The Win32 side of the main window's services: UsageLink's and NetProbe's exports, the
// single-instance mutex, ShellExecuteW, the taskbar button, the tester programs and the UI
// thread's wake-up window.
#pragma once

#include <memory>
#include <string>

#include "UsageLink.h"
#include "ui/program_services.h"

struct ITaskbarList3;

namespace kestrelrun {

class Win32ProgramServices final : public IProgramServices {
 public:
  // `programFolder` ends in a backslash; `taskbar` may be null (no taskbar progress then).
  Win32ProgramServices(std::wstring programFolder, ITaskbarList3* taskbar);
  ~Win32ProgramServices() override;
  Win32ProgramServices(const Win32ProgramServices&) = delete;
  Win32ProgramServices& operator=(const Win32ProgramServices&) = delete;

  bool AnotherInstanceRuns() override;
  void ExitProcess(int code) override;
  int VersionGet() override;
  void OpenToolDownUrl() override;
  void OpenFeedback() override;
  void ReadDeviceInfo() override;
  void SendExitStatistic() override;
  void FreeDeviceInfo() override;
  void InitDll() override;
  void ReleaseDllRes() override;
  void OpenUrl(const std::wstring& address) override;
  void SetTaskbarProgress(std::uintptr_t window, int state, int value, int total) override;
  bool IsMinimised(std::uintptr_t window) override;
  void EndTesterProcesses() override;
  std::function<void()> MakeUiWake(std::function<void()> run) override;

 private:
  struct WakeWindow;

  std::wstring programFolder_;
  ITaskbarList3* taskbar_;
  void* instanceMutex_ = nullptr;
  std::unique_ptr<DeviceInfo> deviceInfo_ = std::make_unique<DeviceInfo>();
  std::unique_ptr<WakeWindow> wake_;
};

}  // namespace kestrelrun
