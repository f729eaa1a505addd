// A recording stand-in for the main window's services and the detection probes, for driving
// CMainWnd through the headless host.
#pragma once

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "app/detect_probes.h"
#include "ui/program_services.h"

namespace kestrelrun::testing {

class FakeServices : public IProgramServices {
 public:
  bool otherInstance = false;
  int version = 0;
  // What was called, in order ("InitDll", "open <address>", "exit 0", ...).
  std::vector<std::string> calls;
  std::vector<std::wstring> opened;

  // While held, the version check or the device identity (called on the start-up thread)
  // waits for Release: a slow server or a slow wmic.
  bool holdVersion = false;
  bool holdDevice = false;

  bool AnotherInstanceRuns() override { return Note("instance"), otherInstance; }
  void ExitProcess(int code) override { Note("exit " + std::to_string(code)); }
  int VersionGet() override {
    Wait(holdVersion);
    return Note("version"), version;
  }
  void OpenToolDownUrl() override { Note("download"); }
  void OpenFeedback() override { Note("feedback"); }
  void ReadDeviceInfo() override {
    Wait(holdDevice);
    Note("device");
  }
  void Release() {
    std::lock_guard<std::mutex> hold(lock_);
    holdVersion = holdDevice = false;
    released_.notify_all();
  }
  void SendExitStatistic() override { Note("statistic"); }
  void FreeDeviceInfo() override { Note("free device"); }
  void InitDll() override { Note("InitDll"); }
  void ReleaseDllRes() override { Note("ReleaseDllRes"); }
  void OpenUrl(const std::wstring& address) override {
    Note("open");
    opened.push_back(address);
  }
  // The taskbar button's calls ("8 100/100": state, value/total), and what IsMinimised answers.
  std::vector<std::string> taskbar;
  std::atomic<bool> minimised{false};
  void SetTaskbarProgress(std::uintptr_t, int state, int value, int total) override {
    taskbar.push_back(std::to_string(state) + " " + std::to_string(value) + "/" +
                      std::to_string(total));
  }
  bool IsMinimised(std::uintptr_t) override { return minimised; }
  void EndTesterProcesses() override { Note("end testers"); }
  std::function<void()> MakeUiWake(std::function<void()> run) override {
    run_ = std::move(run);
    return [this] { ++wakes_; };
  }
  // Runs the UI tasks the worker posted, as the wake message would.
  void PumpUi() {
    if (wakes_.exchange(0) > 0 && run_)
      run_();
  }
  // Forgets what was called, for the next case.
  void Clear() {
    std::lock_guard<std::mutex> hold(lock_);
    calls.clear();
    opened.clear();
  }
  bool Called(const std::string& what) const { return Position(what) >= 0; }
  // Where `what` stands among the calls; -1 when it was not called.
  int Position(const std::string& what) const {
    std::lock_guard<std::mutex> hold(lock_);
    for (std::size_t i = 0; i < calls.size(); ++i)
      if (calls[i] == what)
        return static_cast<int>(i);
    return -1;
  }

 private:
  void Note(const std::string& what) {
    std::lock_guard<std::mutex> hold(lock_);
    calls.push_back(what);
  }
  void Wait(const bool& held) {
    std::unique_lock<std::mutex> hold(lock_);
    released_.wait(hold, [&] { return !held; });
  }
  mutable std::mutex lock_;
  std::condition_variable released_;
  std::function<void()> run_;
  std::atomic<int> wakes_{0};
};

// Every probe fails with code 7 (or, with `succeed`, succeeds handing out no record) except the
// presence check, whose answer is `networkUp`.
class FakeProbes : public IDetectProbes {
 public:
  std::atomic<int> networkUp{1};
  std::atomic<bool> succeed{false};
  std::atomic<int> presenceChecks{0};
  int GetNetworkState() override {
    ++presenceChecks;
    return networkUp;
  }
  int GetHostInfomation(const HostInfo**, ProbeError* e) override { return Fail(e); }
  int GetSystemVersionInfo(const SystemInfo**, ProbeError* e) override { return Fail(e); }
  int GetCPUInfo(const CpuInfo**, ProbeError* e) override { return Fail(e); }
  int GetMemoryInfo(const MemoryInfo**, ProbeError* e) override { return Fail(e); }
  int GetHardDiskInfo(const DiskInfo**, ProbeError* e) override { return Fail(e); }
  int GetLanAndWlanNetworkCardInfo(const std::vector<NetworkCardSummary>**,
                                   ProbeError* e) override {
    return Fail(e);
  }
  int GetDNSTestnfo(const DnsTestInfo**, ProbeError* e) override { return Fail(e); }
  int GetHostToRouterDelayInfo(const std::vector<RouterDelayEntry>**, ProbeError* e) override {
    return Fail(e);
  }
  int GetNumberLanDevices(const std::vector<LanDevicesEntry>**, ProbeError* e) override {
    return Fail(e);
  }
  int GetNetworkDownloadSpeed(const DownloadSpeedInfo**, ProbeError* e) override { return Fail(e); }
  int UploadJsonData(wchar_t*, ProbeError* e) override { return Fail(e); }
  int SetNetworkCardDNS(const DnsSettingRequest&, ProbeError* e) override { return Fail(e); }
  int UploadDNSJsonData(ProbeError* e) override { return Fail(e); }

 private:
  int Fail(ProbeError* e) const {
    if (succeed)
      return 1;
    e->code = 7;
    return 0;
  }
};

}  // namespace kestrelrun::testing
