// The thirteen steps, on the detection worker.
#include "app/detect_steps.h"

#include <chrono>
#include <utility>

namespace kestrelrun {

namespace {

constexpr int kPendingVerdict = -1;

constexpr const wchar_t* kNoMicrophone = L"未检测到麦克风！";
constexpr const wchar_t* kNoSpeaker = L"未检测到扬声器！";
constexpr const wchar_t* kNoAudioDevice = L"未检测到麦克风和扬声器！";
constexpr const wchar_t* kNoCamera = L"未检测到摄像头！";

}  // namespace

bool CDetectSequence::Shared::Step() {
  int number = 0;
  unsigned run = 0;
  {
    std::lock_guard<std::mutex> guard(lock);
    if (closed) {
      return false;  // the window is gone: the thread may end
    }
    const DetectStep* step = FindDetectStep(state.stepIndex);
    if (state.running && step != nullptr) {
      number = step->number;
      run = generation;
      // The status first, so that the refresh tick sees the step start before its call.
      state.statusText = step->status;
      state.statusChanged = true;
    }
  }
  if (number != 0) {
    RunStep(number, run);
  }
  Pause(timing.stepPauseMs);
  return true;
}

bool CDetectSequence::Shared::Pause(unsigned ms) {
  std::unique_lock<std::mutex> guard(lock);
  workerWake.wait_for(guard, std::chrono::milliseconds(ms), [&] { return closed; });
  return !closed;
}

bool CDetectSequence::Shared::StillRun(unsigned run) {
  std::lock_guard<std::mutex> guard(lock);
  return !closed && state.running && generation == run;
}

void CDetectSequence::Shared::RunStep(int number, unsigned run) {
  switch (number) {
    case 1:
      return MicrophoneStep(run);
    case 2:
      return CameraStep(run);
    case 3:
      return ProbeStep<HostInfo>(
          number, run,
          [&](const HostInfo** r, ProbeError* e) { return probes->GetHostInfomation(r, e); },
          [](const HostInfo&, RunTally&) {});
    case 4:
      return ProbeStep<SystemInfo>(
          number, run,
          [&](const SystemInfo** r, ProbeError* e) { return probes->GetSystemVersionInfo(r, e); },
          [](const SystemInfo& r, RunTally& t) { ApplySystem(r, t); });
    case 5:
      return ProbeStep<CpuInfo>(
          number, run, [&](const CpuInfo** r, ProbeError* e) { return probes->GetCPUInfo(r, e); },
          [](const CpuInfo& r, RunTally& t) { ApplyCpu(r, t); });
    case 6:
      return ProbeStep<MemoryInfo>(
          number, run,
          [&](const MemoryInfo** r, ProbeError* e) { return probes->GetMemoryInfo(r, e); },
          [](const MemoryInfo& r, RunTally& t) { ApplyMemory(r, t); });
    case 7:
      return ProbeStep<DiskInfo>(
          number, run,
          [&](const DiskInfo** r, ProbeError* e) { return probes->GetHardDiskInfo(r, e); },
          [](const DiskInfo& r, RunTally& t) { ApplyDisk(r, t); });
    case 8:
      return ProbeStep<std::vector<NetworkCardSummary>>(
          number, run,
          [&](const std::vector<NetworkCardSummary>** r, ProbeError* e) {
            return probes->GetLanAndWlanNetworkCardInfo(r, e);
          },
          [](const std::vector<NetworkCardSummary>&, RunTally&) {});
    case 9:
      return ProbeStep<DnsTestInfo>(
          number, run,
          [&](const DnsTestInfo** r, ProbeError* e) { return probes->GetDNSTestnfo(r, e); },
          [](const DnsTestInfo& r, RunTally& t) { ApplyDns(r, t); });
    case 10:
      // The export hands out the wired vector with the wireless one right after it.
      return ProbeStep<std::vector<RouterDelayEntry>>(
          number, run,
          [&](const std::vector<RouterDelayEntry>** r, ProbeError* e) {
            return probes->GetHostToRouterDelayInfo(r, e);
          },
          [](const std::vector<RouterDelayEntry>& r, RunTally& t) {
            ApplyRouterDelay((&r)[0], (&r)[1], t);
          });
    case 11:
      return ProbeStep<std::vector<LanDevicesEntry>>(
          number, run,
          [&](const std::vector<LanDevicesEntry>** r, ProbeError* e) {
            return probes->GetNumberLanDevices(r, e);
          },
          [](const std::vector<LanDevicesEntry>& r, RunTally& t) {
            ApplyLanDevices((&r)[0], (&r)[1], t);
          });
    case 12:
      return ProbeStep<DownloadSpeedInfo>(
          number, run,
          [&](const DownloadSpeedInfo** r, ProbeError* e) {
            return probes->GetNetworkDownloadSpeed(r, e);
          },
          [](const DownloadSpeedInfo& r, RunTally& t) { ApplyDownloadSpeed(r, t); });
    case 13:
      return ReportStep(run);
    default:
      return;
  }
}

void CDetectSequence::Shared::MicrophoneStep(unsigned run) {
  bool start = false;
  const bool asked = queue.RunAndWait([this, &start] {
    audio.SetVerdict(kPendingVerdict);
    view.ShowAudioPopup();
    const int microphones = audio.MicrophoneCount();
    const int speakers = audio.SpeakerCount();
    if (microphones <= 0 && speakers > 0) {
      view.ShowMessage(kNoMicrophone);
    } else if (speakers <= 0 && microphones > 0) {
      view.ShowMessage(kNoSpeaker);
    } else if (microphones <= 0 && speakers <= 0) {
      view.ShowMessage(kNoAudioDevice);
    }
    if (microphones <= 0 || speakers <= 0) {
      audio.SetInitState(1);
      audio.EnterNoDeviceState();
    } else {
      audio.SetInitState(-1);  // the verdict buttons wait for the start from the first look
      start = true;
    }
  });
  // Opening the devices can take seconds (a Bluetooth headset): the start runs here, and the
  // popup answers meanwhile.
  if (!asked || (start && !CallPopup([this] { audio.StartMicrophoneTest(); }))) {
    return;
  }
  int verdict = kPendingVerdict;
  if (!AwaitVerdict(audio, run, verdict)) {
    return;
  }
  std::lock_guard<std::mutex> guard(lock);
  if (generation == run && state.running) {
    ApplyMicrophoneVerdict(verdict, state.tally);
    Advance(1);
  }
}

void CDetectSequence::Shared::CameraStep(unsigned run) {
  // Listing the cameras wakes each one's driver, which can take seconds: done here.
  if (!CallPopup([this] { camera.LoadCameras(); })) {
    return;
  }
  const bool asked = queue.RunAndWait([this] {
    view.ShowVideoPopup();
    if (camera.CameraIndex() < 0) {
      view.ShowMessage(kNoCamera);
    }
  });
  int verdict = kPendingVerdict;
  if (!asked || !AwaitVerdict(camera, run, verdict)) {
    return;
  }
  std::lock_guard<std::mutex> guard(lock);
  if (generation == run && state.running) {
    ApplyCameraVerdict(verdict, state.tally);
    Advance(2);
  }
}

bool CDetectSequence::Shared::CallPopup(const std::function<void()>& call) {
  std::lock_guard<std::mutex> inCall(popupCallLock);
  {
    std::lock_guard<std::mutex> guard(lock);
    if (closed) {
      return false;
    }
  }
  call();
  return true;
}

template <typename Popup>
bool CDetectSequence::Shared::AwaitVerdict(Popup& popup, unsigned run, int& verdict) {
  for (;;) {
    if (!StillRun(run)) {
      return false;
    }
    int seen = kPendingVerdict;
    // RunAndWait returns once the task ran or was dropped, never while it runs: `seen` stays
    // valid for it.
    if (!queue.RunAndWait([&popup, &seen] { seen = popup.Verdict(); })) {
      return false;
    }
    if (seen >= 0) {
      verdict = seen;
      return true;
    }
    if (!Pause(timing.pollMs)) {
      return false;
    }
  }
}

template <typename Record, typename Call, typename Rule>
void CDetectSequence::Shared::ProbeStep(int number, unsigned run, Call call, Rule rule) {
  ProbeError error;  // fresh for each call
  {
    std::lock_guard<std::mutex> probeGuard(probeLock);
    if (!StillRun(run)) {
      return;
    }
    const Record* record = nullptr;
    if (call(&record, &error) != 0) {
      // The record lives in NetProbe's engine: read it now, before anyone calls again.
      std::lock_guard<std::mutex> guard(lock);
      if (generation == run && state.running) {
        if (record != nullptr) {
          rule(*record, state.tally);
        }
        Advance(number);
      }
      return;
    }
  }
  Fail(number, run, error);
}

void CDetectSequence::Shared::ReportStep(unsigned run) {
  ProbeError error;
  std::vector<wchar_t> number(kReportNumberLength, L'\0');
  {
    std::lock_guard<std::mutex> probeGuard(probeLock);
    if (!StillRun(run)) {
      return;
    }
    if (probes->UploadJsonData(number.data(), &error) == 0) {
      number.clear();
    }
  }
  if (number.empty()) {
    Fail(13, run, error);
    return;
  }
  number.back() = L'\0';  // whatever the library wrote, the text ends inside the buffer
  std::lock_guard<std::mutex> guard(lock);
  if (generation != run || !state.running) {
    return;
  }
  state.reportNumber = number.data();
  state.stepIndex = 0;
  state.progressTarget = FindDetectStep(13)->progress;
  // The run stays on until the refresh tick has drawn the network card for this change.
  state.statusText.clear();
  state.statusChanged = true;
}

void CDetectSequence::Shared::Advance(int number) {
  state.stepIndex += 1;
  state.progressTarget = FindDetectStep(number)->progress;
  if (number == 12) {
    state.statusText = kReportPendingStatus;
    state.statusChanged = true;
  }
}

void CDetectSequence::Shared::Fail(int number, unsigned run, const ProbeError& error) {
  {
    std::lock_guard<std::mutex> guard(lock);
    if (generation != run || !state.running) {
      return;
    }
    state.running = false;
    // Set before the box opens: the refresh tick resets the window while the box is up.
    state.pageRequest = error.code;
  }
  if (error.code != netprobe::kNoNetwork) {
    const wchar_t* failure = FindDetectStep(number)->failure;
    // The worker waits until the box is closed (or the window is).
    queue.RunAndWait([this, failure] { view.ShowMessage(failure); });
  }
}

}  // namespace kestrelrun
