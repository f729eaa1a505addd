// The block CDetectSequence shares with its worker and with the DNS change's thread: the state
// under its lock, the UI queue, and the step runners (detect_steps.cpp). Private to the
// controller's sources.
#pragma once

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "app/detect_sequence.h"
#include "app/ui_queue.h"

namespace kestrelrun {

struct CDetectSequence::Shared {
  Shared(std::shared_ptr<IDetectProbes> probeCalls, IDetectView& mainView,
         IAudioTestPopup& audioPopup, ICameraTestPopup& cameraPopup, IDetectLog& runLog,
         std::function<void()> wakeUi, DetectTiming pace, std::wstring reportBase)
      : probes(std::move(probeCalls)),
        view(mainView),
        audio(audioPopup),
        camera(cameraPopup),
        log(runLog),
        queue(std::move(wakeUi)),
        timing(pace),
        reportPageBase(std::move(reportBase)) {}

  // Worker.
  bool Step();
  // Worker: false when the window closed (the caller abandons its step).
  bool Pause(unsigned ms);
  // Worker, within a step of run `run`: true while that run is still the current one.
  bool StillRun(unsigned run);

  // UI thread: the card updates on a copy of the state, then the flags they changed written
  // back. `networkOnly` after the DNS optimisation.
  void UpdateCards(DetectState& copy, bool networkOnly);
  // UI thread, between refresh ticks (a step's request): the status text and the cards, when a
  // step changed them since the last call; the run's last change is left to the tick, which
  // shows the score before the network card ends the run.
  void ApplyStatusChange();
  // UI thread: the status text and the cards of a change taken from the state into `copy`.
  void ShowStatusChange(DetectState& copy);
  // The DNS change's thread.
  void ChangeDns(const std::vector<DnsAdapterAdvice>& advice);
  // UI thread, after the change.
  void FinishDnsOptimisation(unsigned run);

  const std::shared_ptr<IDetectProbes> probes;
  // The windows: touched on the UI thread only (by the UI's calls and by queued tasks).
  IDetectView& view;
  IAudioTestPopup& audio;
  ICameraTestPopup& camera;
  IDetectLog& log;
  CUiQueue queue;
  const DetectTiming timing;
  const std::wstring reportPageBase;

  mutable std::mutex lock;  // guards what follows
  std::condition_variable workerWake;
  DetectState state;
  // Counts the runs started and cleared: a step applies its result only to its own run.
  unsigned generation = 0;
  bool closed = false;
  bool dnsChanging = false;  // from the press until the change's thread has ended it
  std::condition_variable dnsChanged;

  // NetProbe's engine takes one caller at a time: the worker's steps and the DNS change.
  std::mutex probeLock;
  // Held by the worker while it calls a popup itself (the slow starts); Close waits for it, so
  // that no such call outlives the popups.
  std::mutex popupCallLock;

 private:
  void RunStep(int number, unsigned run);
  void MicrophoneStep(unsigned run);
  void CameraStep(unsigned run);
  // Runs `call` on the worker unless the controller was closed; false when it was.
  bool CallPopup(const std::function<void()>& call);
  // Polls a popup's verdict on the UI thread until it is 0 or more; false when abandoned.
  template <typename Popup>
  bool AwaitVerdict(Popup& popup, unsigned run, int& verdict);
  // Steps 3..12: the call, then the rule on the record it handed out, or the failure.
  template <typename Record, typename Call, typename Rule>
  void ProbeStep(int number, unsigned run, Call call, Rule rule);
  void ReportStep(unsigned run);
  // Under `lock`, in run `run`: the step's success (the rule already applied).
  void Advance(int number);
  void Fail(int number, unsigned run, const ProbeError& error);
};

}  // namespace kestrelrun
