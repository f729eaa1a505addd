// One detection run through the program's own controller: this thread plays the UI thread
// (its queue and the 40 ms refresh tick), a second thread is the detection worker, the console
// window stands in for the main window and the popups. Then the network card's button: the DNS
// change with its upload when an adapter's DNS can be bettered.
#include <windows.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/detect_sequence.h"
#include "app/result_cards.h"
#include "demo_console_view.h"
#include "demo_print.h"
#include "demo_probes.h"
#include "demo_report.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr auto kRefreshPeriod = std::chrono::milliseconds(40);
// The program pauses a second after each step; the driver a quarter, which still leaves the
// refresh tick several looks at each step's status.
constexpr unsigned kStepPauseMs = 250;
constexpr unsigned kVerdictPollMs = 100;
constexpr int kStartPage = 0;
constexpr int kResultsPage = 2;
constexpr int kNoNetworkPage = 4;

// The UI thread's message loop: sleeps until woken or until the next refresh tick.
class UiLoop {
 public:
  std::function<void()> WakeCallback() {
    return [this] {
      std::lock_guard<std::mutex> guard(lock_);
      woken_ = true;
      wake_.notify_one();
    };
  }

  template <typename Done>
  void RunUntil(kestrelrun::CDetectSequence& sequence, Done done) {
    auto nextTick = Clock::now();
    while (!done()) {
      {
        std::unique_lock<std::mutex> guard(lock_);
        wake_.wait_until(guard, nextTick, [&] { return woken_; });
        woken_ = false;
      }
      sequence.RunUiTasks();
      if (Clock::now() >= nextTick) {
        sequence.RefreshTick();
        nextTick += kRefreshPeriod;
      }
    }
  }

 private:
  std::mutex lock_;
  std::condition_variable wake_;
  bool woken_ = false;
};

void PrintProblems(const char* card, const std::vector<std::wstring>& problems) {
  for (const std::wstring& problem : problems) {
    std::printf("  %-9s %s\n", card, WideToUtf8(problem).c_str());
  }
}

void PrintTally(const kestrelrun::RunTally& tally) {
  std::printf("\nscore %d, %d problems\n", tally.score, tally.ProblemCount());
  PrintProblems("system", tally.systemProblems);
  PrintProblems("hardware", tally.hardwareProblems);
  PrintProblems("dns", tally.dnsProblems);
  PrintProblems("network", tally.networkProblems);
}

}  // namespace

std::wstring RunDetection(bool networkUp) {
  UiLoop loop;
  ConsoleWindow window;
  auto probes = std::make_shared<PrintingProbes>();
  kestrelrun::CDetectSequence sequence(probes, window, window, window, window, loop.WakeCallback(),
                                       {kStepPauseMs, kVerdictPollMs});
  sequence.SetNetworkUp(networkUp);

  std::atomic<bool> stop{false};
  std::atomic<bool> workerEnded{false};
  std::thread worker([&stop, &workerEnded, step = sequence.WorkerCallback()] {
    while (!stop.load() && step()) {
    }
    workerEnded = true;
  });

  std::printf("start button\n");
  sequence.Start();
  // Until the results page, or the start or no-network page of a stopped run.
  loop.RunUntil(sequence, [&] {
    const int page = window.Page();
    return page == kStartPage || page == kResultsPage || page == kNoNetworkPage;
  });
  const bool finished = window.Page() == kResultsPage;
  stop = true;
  // A stopped step may still be waiting for its message box.
  loop.RunUntil(sequence, [&] { return workerEnded.load(); });
  worker.join();

  const kestrelrun::DetectState state = sequence.State();
  if (!finished) {
    if (probes->FailedStep() != 0) {
      std::printf("run stopped at step %d\n", probes->FailedStep());
    }
    PrintTally(state.tally);
    return {};
  }
  PrintTally(state.tally);

  std::printf("\nnetwork card button (%s)\n",
              state.tally.dnsProblems.empty() ? "no DNS problem: the report page" : "DNS change");
  sequence.OnNetworkSuggestion();
  if (!state.tally.dnsProblems.empty()) {
    loop.RunUntil(sequence, [&] { return window.DnsBoxShown(); });
  }
  return state.reportNumber;
}

std::string ReportPageAddress(const std::wstring& number) {
  return WideToUtf8(kestrelrun::ReportPageAddress(kestrelrun::DefaultReportPageBase(), number));
}
