#include "app/detect_sequence.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>

#include "app/detect_steps.h"
#include "app/result_cards.h"

namespace kestrelrun {

namespace {

constexpr int kStartPage = 0;
constexpr int kDetectingPage = 1;
constexpr int kNoNetworkPage = 4;
constexpr int kCategoryBusy = 0;
constexpr int kCategoryPending = 3;
constexpr int kDnsScoreBonus = 50;  // shown after the DNS optimisation; the score is unchanged
constexpr int kFlashTickLimit = 10;

}  // namespace

CDetectSequence::CDetectSequence(std::shared_ptr<IDetectProbes> probes, IDetectView& view,
                                 IAudioTestPopup& audio, ICameraTestPopup& camera, IDetectLog& log,
                                 std::function<void()> wakeUi, DetectTiming timing,
                                 std::wstring reportPageBase)
    : shared_(std::make_shared<Shared>(
          std::move(probes), view, audio, camera, log, std::move(wakeUi), timing,
          reportPageBase.empty() ? DefaultReportPageBase() : std::move(reportPageBase))) {}

CDetectSequence::~CDetectSequence() {
  Close();
}

void CDetectSequence::Start() {
  Shared& s = *shared_;
  enum class Outcome { kIgnored, kNoNetwork, kStarted };
  const Outcome outcome = [&s] {
    std::lock_guard<std::mutex> guard(s.lock);
    DetectState& st = s.state;
    if (s.closed) {
      return Outcome::kIgnored;
    }
    if (!st.networkUp) {
      return Outcome::kNoNetwork;
    }
    if (st.running) {
      return Outcome::kIgnored;
    }
    st.running = true;
    st.flashTicks = 0;
    st.stepIndex = 1;
    st.tally.score = 0;
    st.progressTarget = 0;
    st.dnsOptimised = false;
    st.hardwareBusyShown = false;
    st.networkBusyShown = false;
    ++s.generation;
    return Outcome::kStarted;
  }();
  if (outcome == Outcome::kNoNetwork) {
    s.view.ShowMainPage(kNoNetworkPage);
  }
  if (outcome != Outcome::kStarted) {
    return;
  }
  s.view.ShowMainPage(kDetectingPage);
  s.view.SetCardPage(L"tab_item_op_1", kCategoryBusy);
  s.view.SetCardPage(L"tab_item_op_2", kCategoryPending);
  s.view.SetCardPage(L"tab_item_op_3", kCategoryPending);
}

void CDetectSequence::Reset() {
  Shared& s = *shared_;
  {
    std::lock_guard<std::mutex> guard(s.lock);
    if (s.closed) {
      return;
    }
    DetectState& st = s.state;
    st.running = false;
    st.stepIndex = 0;
    st.scoreTicks = 0;
    st.progressTarget = 0;
    st.progressTicks = 0;
    st.tally.systemProblems.clear();
    st.tally.hardwareProblems.clear();
    st.tally.networkProblems.clear();
    st.tally.dnsProblems.clear();
    // A step still running belongs to the run just cleared; its result is dropped.
    ++s.generation;
  }
  s.view.SetProgressBar(0);
  s.view.SetStatusLabel(L"");
  s.view.SetIcon(L"img_item_os", L"_skin.item.icon.7");
  s.view.SetIcon(L"img_item_device", L"_skin.item.icon.8");
}

void CDetectSequence::RefreshTick() {
  Shared& s = *shared_;
  int pageRequest = 0;
  {
    std::lock_guard<std::mutex> guard(s.lock);
    if (s.closed) {
      return;
    }
    pageRequest = s.state.pageRequest;
    s.state.pageRequest = 0;
  }
  if (pageRequest == netprobe::kNoNetwork) {
    s.view.ShowMainPage(kNoNetworkPage);
  } else if (pageRequest > 0) {
    Reset();
    s.view.ShowMainPage(kStartPage);
  }

  bool setScore = false, setBar = false, statusChanged = false;
  DetectState copy;
  {
    std::lock_guard<std::mutex> guard(s.lock);
    if (s.closed) {
      return;
    }
    DetectState& st = s.state;
    if (st.running && st.scoreTicks < st.progressTarget) {
      ++st.scoreTicks;
      setScore = st.progressTarget == kNetworkCardProgress;
    }
    if (st.progressTicks < st.progressTarget) {
      ++st.progressTicks;
      setBar = true;
    }
    // The status change is taken in the same look as the score: the last step's change, made by
    // the worker after that look, would otherwise draw the network card and end the run with the
    // score never shown. A later change waits for the next tick.
    statusChanged = std::exchange(st.statusChanged, false);
    copy = st;
  }
  if (setScore) {
    s.view.SetScoreLabel(std::to_wstring(copy.tally.score));
  }
  if (setBar) {
    s.view.SetProgressBar(copy.progressTarget);
  }
  if (statusChanged) {
    s.ShowStatusChange(copy);
  }
}

void CDetectSequence::Shared::ApplyStatusChange() {
  DetectState copy;
  {
    std::lock_guard<std::mutex> guard(lock);
    if (closed || !state.statusChanged || state.progressTarget == kNetworkCardProgress) {
      return;
    }
    state.statusChanged = false;
    copy = state;
  }
  ShowStatusChange(copy);
}

void CDetectSequence::Shared::ShowStatusChange(DetectState& copy) {
  view.SetStatusLabel(copy.statusText);
  UpdateCards(copy, false);
}

void CDetectSequence::FlashTick() {
  Shared& s = *shared_;
  int ticks = 0;
  {
    std::lock_guard<std::mutex> guard(s.lock);
    DetectState& st = s.state;
    if (s.closed || !st.flashActive || st.progressTarget != kNetworkCardProgress) {
      return;
    }
    ticks = ++st.flashTicks;
    if (ticks >= kFlashTickLimit || ticks <= 0) {
      st.flashActive = false;
      return;
    }
  }
  if (s.view.IsMinimised()) {
    s.view.SetTaskbarProgress(kTaskbarPaused, ticks % 2 == 0 ? 100 : 0, 100);
  } else {
    s.view.SetTaskbarProgress(kTaskbarPaused, 0, 100);
  }
}

void CDetectSequence::OpenReportPage() {
  Shared& s = *shared_;
  std::wstring number;
  {
    std::lock_guard<std::mutex> guard(s.lock);
    if (s.closed) {
      return;
    }
    number = s.state.reportNumber;
  }
  s.view.OpenUrl(ReportPageAddress(s.reportPageBase, number));
}

void CDetectSequence::OnNetworkSuggestion() {
  Shared& s = *shared_;
  std::vector<DnsAdapterAdvice> advice;
  bool optimise = false;
  unsigned run = 0;
  {
    std::lock_guard<std::mutex> guard(s.lock);
    if (s.closed || s.dnsChanging) {
      return;
    }
    DetectState& st = s.state;
    if (!st.tally.dnsProblems.empty() && !st.dnsOptimised) {
      st.dnsOptimised = true;
      s.dnsChanging = true;
      optimise = true;
      advice = st.tally.dnsAdvice;
      run = s.generation;
    }
  }
  if (!optimise) {
    OpenReportPage();
    return;
  }
  // netsh takes seconds on a real PC: the change runs off the UI thread, and the box, the score
  // and the card follow on the UI thread once it is done.
  auto change = [shared = shared_, advice = std::move(advice), run] {
    shared->ChangeDns(advice);
    shared->queue.Post([shared, run] { shared->FinishDnsOptimisation(run); });
    {
      std::lock_guard<std::mutex> guard(shared->lock);
      shared->dnsChanging = false;
    }
    shared->dnsChanged.notify_all();
  };
  try {
    std::thread(change).detach();
  } catch (const std::system_error&) {
    // No thread to be had: make the change here rather than not at all.
    change();
  }
}

void CDetectSequence::SetNetworkUp(bool up) {
  std::lock_guard<std::mutex> guard(shared_->lock);
  shared_->state.networkUp = up;
}

void CDetectSequence::RunUiTasks() {
  // A step's request comes with the status of that step: show it first, so that a box the step
  // opens never stands over the previous step's text. Windows delivers the refresh timer only
  // once the posted wake message is handled, and on a busy PC that may be seconds later.
  shared_->ApplyStatusChange();
  shared_->queue.RunPending();
}

void CDetectSequence::Close() {
  Shared& s = *shared_;
  {
    std::lock_guard<std::mutex> guard(s.lock);
    s.closed = true;
  }
  s.workerWake.notify_all();
  s.queue.Shutdown();
  // A popup's start still under way on the worker ends before the popups may go.
  std::lock_guard<std::mutex> popupCall(s.popupCallLock);
}

bool CDetectSequence::AwaitDnsChange(std::chrono::milliseconds bound) {
  Shared& s = *shared_;
  std::unique_lock<std::mutex> guard(s.lock);
  return s.dnsChanged.wait_for(guard, bound, [&s] { return !s.dnsChanging; });
}

bool CDetectSequence::ProbesIdle() const {
  std::unique_lock<std::mutex> probe(shared_->probeLock, std::try_to_lock);
  return probe.owns_lock();
}

bool CDetectSequence::Step() {
  return shared_->Step();
}

std::function<bool()> CDetectSequence::WorkerCallback() const {
  return [shared = shared_] { return shared->Step(); };
}

DetectState CDetectSequence::State() const {
  std::lock_guard<std::mutex> guard(shared_->lock);
  return shared_->state;
}

// --- the shared block's UI-thread parts

void CDetectSequence::Shared::UpdateCards(DetectState& copy, bool networkOnly) {
  if (!networkOnly) {
    UpdateSystemCard(copy, view);
    UpdateHardwareCard(copy, view);
  }
  const bool finished = UpdateNetworkCard(copy, view, log);
  std::lock_guard<std::mutex> guard(lock);
  state.hardwareBusyShown = copy.hardwareBusyShown;
  state.networkBusyShown = copy.networkBusyShown;
  if (finished) {
    state.running = false;
    state.flashActive = true;
  }
}

void CDetectSequence::Shared::ChangeDns(const std::vector<DnsAdapterAdvice>& advice) {
  DnsSettingRequest request;
  if (!ChooseDnsChange(advice, request)) {
    return;
  }
  std::lock_guard<std::mutex> guard(probeLock);
  {
    std::lock_guard<std::mutex> closing(lock);
    if (closed) {
      return;  // NetProbe may be released by now
    }
  }
  ProbeError error;
  if (probes->SetNetworkCardDNS(request, &error) != 0) {
    ProbeError uploadError;
    probes->UploadDNSJsonData(&uploadError);  // not shown to the user
  }
}

void CDetectSequence::Shared::FinishDnsOptimisation(unsigned run) {
  {
    std::lock_guard<std::mutex> guard(lock);
    if (closed || run != generation) {
      return;  // the run was cleared while the change ran: no box over the start page
    }
  }
  view.ShowDnsProgress();
  DetectState copy;
  {
    std::lock_guard<std::mutex> guard(lock);
    if (closed || run != generation) {
      return;  // the run was cleared meanwhile: its cards are gone
    }
    state.tally.dnsProblems.clear();
    copy = state;
  }
  view.SetScoreLabel(std::to_wstring(copy.tally.score + kDnsScoreBonus));
  UpdateCards(copy, true);
}

}  // namespace kestrelrun
