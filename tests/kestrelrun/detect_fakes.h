// Test doubles for the detection controller: probes answering from records set by the test (a
// step can be made to fail or to block until released), a view and popups that record every
// operation as one line, and a driver that plays the UI thread around one worker step at a time.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/detect_sequence.h"

namespace kestrelrun::testing {

using Lines = std::vector<std::wstring>;

// Blocks a caller until the test opens it.
class Gate {
 public:
  void Wait() {
    std::unique_lock<std::mutex> guard(lock_);
    waiting_ = true;
    changed_.notify_all();
    changed_.wait(guard, [&] { return open_; });
  }
  void AwaitWaiter() {
    std::unique_lock<std::mutex> guard(lock_);
    changed_.wait(guard, [&] { return waiting_; });
  }
  void Open() {
    std::lock_guard<std::mutex> guard(lock_);
    open_ = true;
    changed_.notify_all();
  }

 private:
  std::mutex lock_;
  std::condition_variable changed_;
  bool waiting_ = false;
  bool open_ = false;
};

class FakeProbes : public IDetectProbes {
 public:
  // A fine machine: no problem, score 95 + 75 + 80 + 10 + 30 + 60 = 350.
  FakeProbes();

  int GetNetworkState() override { return 1; }
  int GetHostInfomation(const HostInfo** r, ProbeError* e) override {
    return Hand(3, "GetHostInfomation", host, r, e);
  }
  int GetSystemVersionInfo(const SystemInfo** r, ProbeError* e) override {
    return Hand(4, "GetSystemVersionInfo", system, r, e);
  }
  int GetCPUInfo(const CpuInfo** r, ProbeError* e) override {
    return Hand(5, "GetCPUInfo", cpu, r, e);
  }
  int GetMemoryInfo(const MemoryInfo** r, ProbeError* e) override {
    return Hand(6, "GetMemoryInfo", memory, r, e);
  }
  int GetHardDiskInfo(const DiskInfo** r, ProbeError* e) override {
    return Hand(7, "GetHardDiskInfo", disk, r, e);
  }
  int GetLanAndWlanNetworkCardInfo(const std::vector<NetworkCardSummary>** r,
                                   ProbeError* e) override {
    return Hand(8, "GetLanAndWlanNetworkCardInfo", cards, r, e);
  }
  int GetDNSTestnfo(const DnsTestInfo** r, ProbeError* e) override {
    return Hand(9, "GetDNSTestnfo", dns, r, e);
  }
  int GetHostToRouterDelayInfo(const std::vector<RouterDelayEntry>** r, ProbeError* e) override {
    return Hand(10, "GetHostToRouterDelayInfo", delays[0], r, e);
  }
  int GetNumberLanDevices(const std::vector<LanDevicesEntry>** r, ProbeError* e) override {
    return Hand(11, "GetNumberLanDevices", lan[0], r, e);
  }
  int GetNetworkDownloadSpeed(const DownloadSpeedInfo** r, ProbeError* e) override {
    return Hand(12, "GetNetworkDownloadSpeed", speed, r, e);
  }
  int UploadJsonData(wchar_t* reportNumber, ProbeError* error) override;
  int SetNetworkCardDNS(const DnsSettingRequest& request, ProbeError* error) override;
  int UploadDNSJsonData(ProbeError* error) override;

  std::vector<std::string> Calls();
  std::thread::id DnsThread();

  HostInfo host;
  SystemInfo system;
  CpuInfo cpu;
  MemoryInfo memory;
  DiskInfo disk;
  std::vector<NetworkCardSummary> cards;
  DnsTestInfo dns;
  std::vector<RouterDelayEntry> delays[2];
  std::vector<LanDevicesEntry> lan[2];
  DownloadSpeedInfo speed;
  std::wstring reportNumber = L"7031";
  int dnsChangeResult = 1;
  std::vector<DnsSettingRequest> dnsRequests;

  // The step (3..13) whose call fails with `failCode`, and the one whose call waits at `gate`.
  int failStep = 0;
  int failCode = 0;
  int blockStep = 0;  // -1: SetNetworkCardDNS
  Gate gate;
  // Called on the caller's thread at the start of every call.
  std::function<void()> beforeCall;

 private:
  // Records the call; false when it is to fail (error filled).
  bool Enter(int step, const char* name, ProbeError* error);
  template <typename Record>
  int Hand(int step, const char* name, const Record& record, const Record** out,
           ProbeError* error) {
    *out = &record;
    return Enter(step, name, error) ? 1 : 0;
  }

  std::mutex lock_;
  std::vector<std::string> calls_;
  std::thread::id dnsThread_;
};

class RecordingView : public IDetectView,
                      public IAudioTestPopup,
                      public ICameraTestPopup,
                      public IDetectLog {
 public:
  void ShowMainPage(int page) override;
  void SetCardPage(const std::wstring& card, int page) override;
  void SetProgressBar(int value) override;
  void SetStatusLabel(const std::wstring& text) override;
  void SetScoreLabel(const std::wstring& text) override;
  void SetProblemCountLabel(const std::wstring& text) override;
  void SetIcon(const std::wstring& name, const std::wstring& skin) override;
  void SetCardText(const std::wstring& card, int page, const std::wstring& control,
                   const std::wstring& text) override;
  void SetCardAttribute(const std::wstring& card, int page, const std::wstring& control,
                        const std::wstring& attribute, const std::wstring& value) override;
  void ShowMessage(const std::wstring& text) override;
  void ShowAudioPopup() override;
  void ShowVideoPopup() override;
  void ShowDnsProgress() override;
  void OpenUrl(const std::wstring& address) override;
  bool IsMinimised() override;
  void SetTaskbarProgress(int state, int value, int total) override;

  int MicrophoneCount() override { return microphones; }
  int SpeakerCount() override { return speakers; }
  int Verdict() override;
  void SetVerdict(int verdict) override;
  void SetInitState(int state) override;
  void EnterNoDeviceState() override;
  void StartMicrophoneTest() override;
  void LoadCameras() override;
  int CameraIndex() override { return cameraIndex; }

  void Line(const std::wstring& text) override;

  // Every operation so far, as lines; those starting with `prefix`.
  Lines All();
  Lines Starting(const std::wstring& prefix);
  void Clear();
  // True when every call came on the thread that made the view, but for the popups' two slow
  // starts, which StartsOnTheWorker tells: true when each one so far came on another thread.
  bool OnOneThread();
  bool StartsOnTheWorker();

  int microphones = 1;
  int speakers = 1;
  int cameraIndex = 0;
  int micVerdict = 1;  // what the user answers in the audio popup
  int cameraVerdict = 1;
  bool minimised = false;
  // Called inside ShowMessage, as a modal box's message loop would run other work.
  std::function<void()> duringMessage;
  // Called inside StartMicrophoneTest and LoadCameras, as opening a slow device would take time.
  std::function<void()> duringStart;
  // Called inside ShowAudioPopup, on the UI thread, before the worker starts the microphone.
  std::function<void()> duringShowAudio;

 private:
  // `slowStart`: StartMicrophoneTest or LoadCameras, which the worker makes itself.
  void Record(std::wstring line, bool slowStart = false);

  std::mutex lock_;
  Lines lines_;
  int verdict_ = -1;
  bool cameraPopup_ = false;
  std::thread::id thread_ = std::this_thread::get_id();
  bool otherThread_ = false;
  bool startOnUiThread_ = false;
};

// The controller with fakes, driven the way the window drives it: this thread is the UI thread.
struct Harness {
  explicit Harness(DetectTiming timing = {0, 1});
  // One worker Step on its own thread while this thread runs the UI queue, then a refresh tick;
  // with `requestFirst` the UI queue runs once more before that tick, as when a step's request
  // reaches the window before its timer does.
  void StepOnce(bool requestFirst = false);
  // Start and as many steps as a run takes, with a few ticks after.
  void RunAll(bool requestFirst = false);
  // Runs UI tasks and refresh ticks until `done` or a time limit; false on the time limit.
  template <typename Predicate>
  bool PumpUntil(Predicate done) {
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!done()) {
      if (std::chrono::steady_clock::now() > limit) {
        return false;
      }
      sequence->RunUiTasks();
      sequence->RefreshTick();
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
  }

  std::shared_ptr<FakeProbes> probes = std::make_shared<FakeProbes>();
  RecordingView view;
  std::unique_ptr<CDetectSequence> sequence;

 private:
  std::mutex tickLock_;
  std::condition_variable tickDone_;
  bool tickWanted_ = false;
};

}  // namespace kestrelrun::testing
