// CDetectSequence: the one-click detection. Thirteen steps run one after another on the
// detection worker (Step, called over and over by the worker thread): the microphone and camera
// verdicts, ten probes and the report upload. Each step sets a status text, makes one call, folds
// the result into the run's score and problem lists (detect_rules.h) and raises the progress
// value. The UI thread's timers copy that state into the window (RefreshTick) and flash the
// taskbar when a run has finished (FlashTick); the result cards are drawn from it
// (result_cards.h).
//
// Threads. The controller is made on the UI thread, which calls Start, Reset, RefreshTick,
// FlashTick, the button actions, RunUiTasks and Close; the worker calls Step; SetNetworkUp may come
// from any thread. The state shared with the worker sits under one lock, and the UI works on a copy
// taken under it. The worker never touches a window: what it needs of the view and the popups runs
// on the UI thread through the controller's CUiQueue, except the popups' two slow starts
// (StartMicrophoneTest, LoadCameras), which the popups make safe on the worker and which Close
// waits for. The UI thread never waits for a probe.
//
// Lifetime. Everything the worker uses lives in a block shared with the worker's callback
// (WorkerCallback), so a step still running when the window closes finishes on its own without
// touching freed state: Close releases a worker waiting for the UI and makes it abandon its step,
// and a probe still in progress is left to return into the shared block.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/detect_probes.h"
#include "app/detect_rules.h"
#include "app/detect_view.h"

namespace kestrelrun {

// The controller's fields, as one copy (State()).
struct DetectState {
  int stepIndex = 0;  // the next step, 1..13; 0 = no run or the run finished
  bool running = false;
  std::wstring statusText;
  bool statusChanged = false;
  int progressTarget = 0;
  int progressTicks = 0;
  int scoreTicks = 0;
  int pageRequest = 0;  // the code of a failed step's error, consumed by the next refresh tick
  bool networkUp = true;
  bool flashActive = false;
  int flashTicks = 0;
  bool dnsOptimised = false;
  bool hardwareBusyShown = false;
  bool networkBusyShown = false;
  RunTally tally;  // score, the four problem lists and the DNS advice
  std::wstring reportNumber;
};

struct DetectTiming {
  unsigned stepPauseMs = 1000;  // after each Step call
  unsigned pollMs = 100;        // between two looks at a popup's verdict
};

class CDetectSequence {
 public:
  // `wakeUi` is the UI queue's wake callback (see CUiQueue). `reportPageBase` is the report
  // page's address without the number; empty means the report server's "/reportDetail/".
  // The view, the popups and the log must outlive Close; the probes are shared with the worker.
  CDetectSequence(std::shared_ptr<IDetectProbes> probes, IDetectView& view, IAudioTestPopup& audio,
                  ICameraTestPopup& camera, IDetectLog& log, std::function<void()> wakeUi,
                  DetectTiming timing = {}, std::wstring reportPageBase = {});
  CDetectSequence(const CDetectSequence&) = delete;
  CDetectSequence& operator=(const CDetectSequence&) = delete;
  // Close().
  ~CDetectSequence();

  // UI thread: `btn_sys_run`. Shows the no-network page when the presence check failed; does
  // nothing while a run is in progress.
  void Start();
  // UI thread: clears a run (the back and retry buttons, and a failed step's refresh tick).
  void Reset();
  // UI thread: timer 1 (40 ms) and timer 2 (500 ms).
  void RefreshTick();
  void FlashTick();
  // UI thread: `btn_sys_look`, `btn_item_suggest_1`, `btn_item_suggest_2`.
  void OpenReportPage();
  // UI thread: `btn_item_suggest_3`. The DNS optimisation runs on a thread of its own; the
  // progress box, the new score and the network card follow on the UI thread. A press while
  // the change runs does nothing.
  void OnNetworkSuggestion();
  // Any thread: the presence check's result.
  void SetNetworkUp(bool up);

  // UI thread, when the wake message arrives: runs what the worker asked of the windows.
  void RunUiTasks();
  // UI thread, when the window is destroyed: releases a waiting worker and makes it abandon its
  // step, after a popup's start still under way has ended; nothing is asked of the windows
  // afterwards. Stop the worker thread after this.
  void Close();
  // UI thread, after Close: waits up to `bound` for a DNS change already under way, so that the
  // process does not end between its netsh commands and leave the adapter half set (one that
  // had not begun never will). False when it still runs.
  bool AwaitDnsChange(std::chrono::milliseconds bound);
  // UI thread, after Close: true when no probe call is in progress (none can start after Close),
  // so that NetProbe may be released.
  bool ProbesIdle() const;

  // Worker: runs the step numbered stepIndex when a run is in progress, then pauses. Always true.
  bool Step();
  // The worker thread's callback (CEventThread::Create): Step on the shared block, safe to
  // outlive this object.
  std::function<bool()> WorkerCallback() const;

  // A copy of the fields, taken under the lock.
  DetectState State() const;

  struct Shared;

 private:
  std::shared_ptr<Shared> shared_;
};

}  // namespace kestrelrun
