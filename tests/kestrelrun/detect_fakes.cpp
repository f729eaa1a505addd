#include "detect_fakes.h"

#include <cwchar>

namespace kestrelrun::testing {

FakeProbes::FakeProbes() {
  system.systemVersionNumber = 10;
  cpu = CpuInfo{"", 0, 19, 0, 19, 0, 19, 0, 19, 0, 19, 5};
  memory = MemoryInfo{16000, 15, 0, 15, 0, 30, 0, 15};
  disk = DiskInfo{{}, 0, 30, 50, 0, 50000, 0};
  delays[0] = {RouterDelayEntry{"eth", "", "", 0, 0, 0, 0, 10}};
  lan[0] = {LanDevicesEntry{"eth", {}, 30}};
  speed.downloadSpeedScore = 60;
}

bool FakeProbes::Enter(int step, const char* name, ProbeError* error) {
  {
    std::lock_guard<std::mutex> guard(lock_);
    calls_.push_back(name);
  }
  if (beforeCall && step > 0) {
    beforeCall();
  }
  if (step == blockStep) {
    gate.Wait();
  }
  if (step == failStep) {
    error->code = failCode;
    error->message = "failed";
    return false;
  }
  return true;
}

int FakeProbes::UploadJsonData(wchar_t* number, ProbeError* error) {
  if (!Enter(13, "UploadJsonData", error)) {
    return 0;
  }
  std::wcsncpy(number, reportNumber.c_str(), kReportNumberLength);
  return 1;
}
int FakeProbes::SetNetworkCardDNS(const DnsSettingRequest& request, ProbeError* error) {
  Enter(-1, "SetNetworkCardDNS", error);
  std::lock_guard<std::mutex> guard(lock_);
  dnsRequests.push_back(request);
  dnsThread_ = std::this_thread::get_id();
  return dnsChangeResult;
}
int FakeProbes::UploadDNSJsonData(ProbeError* error) {
  Enter(-2, "UploadDNSJsonData", error);
  return 1;
}

std::vector<std::string> FakeProbes::Calls() {
  std::lock_guard<std::mutex> guard(lock_);
  return calls_;
}

std::thread::id FakeProbes::DnsThread() {
  std::lock_guard<std::mutex> guard(lock_);
  return dnsThread_;
}

void RecordingView::Record(std::wstring line, bool slowStart) {
  std::lock_guard<std::mutex> guard(lock_);
  const bool other = std::this_thread::get_id() != thread_;
  if (slowStart) {
    startOnUiThread_ = startOnUiThread_ || !other;
  } else if (other) {
    otherThread_ = true;
  }
  lines_.push_back(std::move(line));
}

void RecordingView::ShowMainPage(int page) {
  Record(L"main " + std::to_wstring(page));
}
void RecordingView::SetCardPage(const std::wstring& card, int page) {
  Record(L"card " + card + L" " + std::to_wstring(page));
}
void RecordingView::SetProgressBar(int value) {
  Record(L"bar " + std::to_wstring(value));
}
void RecordingView::SetStatusLabel(const std::wstring& text) {
  Record(L"status " + text);
}
void RecordingView::SetScoreLabel(const std::wstring& text) {
  Record(L"score " + text);
}
void RecordingView::SetProblemCountLabel(const std::wstring& text) {
  Record(L"count " + text);
}
void RecordingView::SetIcon(const std::wstring& name, const std::wstring& skin) {
  Record(L"icon " + name + L" " + skin);
}
void RecordingView::SetCardText(const std::wstring& card, int page, const std::wstring& control,
                                const std::wstring& text) {
  Record(L"text " + card + L"/" + std::to_wstring(page) + L"/" + control + L" " + text);
}
void RecordingView::SetCardAttribute(const std::wstring& card, int page,
                                     const std::wstring& control, const std::wstring& attribute,
                                     const std::wstring& value) {
  Record(L"attr " + card + L"/" + std::to_wstring(page) + L"/" + control + L" " + attribute + L"=" +
         value);
}
void RecordingView::ShowMessage(const std::wstring& text) {
  Record(L"message " + text);
  if (duringMessage) {
    duringMessage();
  }
}
void RecordingView::ShowAudioPopup() {
  Record(L"audio popup");
  if (duringShowAudio) {
    duringShowAudio();
  }
}
void RecordingView::ShowVideoPopup() {
  Record(L"camera popup");
}
void RecordingView::ShowDnsProgress() {
  Record(L"dns progress");
}
void RecordingView::OpenUrl(const std::wstring& address) {
  Record(L"open " + address);
}
bool RecordingView::IsMinimised() {
  return minimised;
}
void RecordingView::SetTaskbarProgress(int state, int value, int total) {
  Record(L"taskbar " + std::to_wstring(state) + L" " + std::to_wstring(value) + L"/" +
         std::to_wstring(total));
}

int RecordingView::Verdict() {
  std::lock_guard<std::mutex> guard(lock_);
  return verdict_;
}
void RecordingView::SetVerdict(int verdict) {
  Record(L"verdict " + std::to_wstring(verdict));
  std::lock_guard<std::mutex> guard(lock_);
  verdict_ = verdict;
}
void RecordingView::SetInitState(int state) {
  Record(L"init state " + std::to_wstring(state));
}
void RecordingView::EnterNoDeviceState() {
  Record(L"no device state");
  // The user closes the popup with a verdict.
  std::lock_guard<std::mutex> guard(lock_);
  verdict_ = micVerdict;
}
void RecordingView::StartMicrophoneTest() {
  Record(L"microphone test", true);
  if (duringStart) {
    duringStart();
  }
  std::lock_guard<std::mutex> guard(lock_);
  verdict_ = micVerdict;
}
void RecordingView::LoadCameras() {
  Record(L"load cameras", true);
  if (duringStart) {
    duringStart();
  }
  std::lock_guard<std::mutex> guard(lock_);
  verdict_ = cameraVerdict;  // answered at once
}

void RecordingView::Line(const std::wstring& text) {
  Record(L"log " + text);
}

Lines RecordingView::All() {
  std::lock_guard<std::mutex> guard(lock_);
  return lines_;
}
Lines RecordingView::Starting(const std::wstring& prefix) {
  Lines found;
  for (const std::wstring& line : All()) {
    if (line.compare(0, prefix.size(), prefix) == 0) {
      found.push_back(line);
    }
  }
  return found;
}
void RecordingView::Clear() {
  std::lock_guard<std::mutex> guard(lock_);
  lines_.clear();
}
bool RecordingView::OnOneThread() {
  std::lock_guard<std::mutex> guard(lock_);
  return !otherThread_;
}
bool RecordingView::StartsOnTheWorker() {
  std::lock_guard<std::mutex> guard(lock_);
  return !startOnUiThread_;
}

Harness::Harness(DetectTiming timing)
    : sequence(std::make_unique<CDetectSequence>(probes, view, view, view, view, nullptr, timing,
                                                 L"https://reports/reportDetail/")) {
  // Each probe call waits for one refresh tick, as the real probes last many ticks.
  probes->beforeCall = [this] {
    std::unique_lock<std::mutex> guard(tickLock_);
    tickWanted_ = true;
    tickDone_.wait(guard, [&] { return !tickWanted_; });
  };
}

void Harness::StepOnce(bool requestFirst) {
  auto step = std::async(std::launch::async, [this] { sequence->Step(); });
  while (step.wait_for(std::chrono::milliseconds(1)) != std::future_status::ready) {
    sequence->RunUiTasks();
    std::unique_lock<std::mutex> guard(tickLock_);
    if (tickWanted_) {
      guard.unlock();
      sequence->RefreshTick();
      guard.lock();
      tickWanted_ = false;
      tickDone_.notify_all();
    }
  }
  if (requestFirst) {
    sequence->RunUiTasks();
  }
  sequence->RefreshTick();
}

void Harness::RunAll(bool requestFirst) {
  sequence->Start();
  for (int i = 0; i < 14; ++i) {
    StepOnce(requestFirst);
  }
  for (int i = 0; i < 3; ++i) {
    sequence->RefreshTick();
  }
}

}  // namespace kestrelrun::testing
