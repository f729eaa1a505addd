// The controller's threads: a reset or a new run while a step's call is in progress, a close
// while the worker waits for the UI or for a probe, and Start and Reset hammering a running
// worker. Also built under ThreadSanitizer.
#include "app/detect_sequence.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>

#include "detect_fakes.h"

namespace kestrelrun {
namespace {

using namespace std::chrono_literals;
using testing::Harness;

std::future<void> StepInBackground(Harness& h) {
  return std::async(std::launch::async, [&h] { h.sequence->Step(); });
}

TEST(DetectThreadsTest, AStepOfAClearedRunLeavesTheNewRunAlone) {
  Harness h;
  h.probes->beforeCall = nullptr;
  h.probes->blockStep = 5;
  h.sequence->Start();
  for (int i = 0; i < 4; ++i) {
    h.StepOnce();
  }
  auto step = StepInBackground(h);
  h.probes->gate.AwaitWaiter();
  h.sequence->Reset();  // the user goes back while the CPU is probed
  h.sequence->Start();
  h.probes->gate.Open();
  step.get();
  const DetectState state = h.sequence->State();
  EXPECT_TRUE(state.running);
  EXPECT_EQ(state.stepIndex, 1);
  EXPECT_EQ(state.progressTarget, 0);
  EXPECT_EQ(state.tally.score, 0);
}

TEST(DetectThreadsTest, CloseReleasesAWorkerWaitingForTheUi) {
  struct Case {
    const char* name;
    int micVerdict;  // -1: the user never answers
    int failStep;
  };
  const Case cases[] = {{"popup never answered", -1, 0}, {"failure box never shown", 1, 3}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Harness h;
    h.probes->beforeCall = nullptr;
    h.view.micVerdict = c.micVerdict;
    h.probes->failStep = c.failStep;
    h.probes->failCode = 4;
    h.sequence->Start();
    if (c.failStep != 0) {
      h.StepOnce();
      h.StepOnce();
    }
    auto step = StepInBackground(h);
    if (c.failStep == 0) {
      ASSERT_TRUE(h.PumpUntil([&] { return !h.view.Starting(L"microphone test").empty(); }));
    } else {
      std::this_thread::sleep_for(20ms);  // the worker waits for a UI that never pumps
    }
    h.sequence->Close();
    ASSERT_EQ(step.wait_for(2s), std::future_status::ready);
    EXPECT_TRUE(h.view.Starting(L"message").empty());
    EXPECT_FALSE(h.sequence->Step());  // the thread may end now
  }
}

// The popups' slow starts run on the worker while the UI goes on; the window's close waits for
// one under way (the popups go right after it), and one not yet begun never begins.
TEST(DetectThreadsTest, CloseWaitsForAPopupsStartUnderWay) {
  for (const bool camera : {false, true}) {
    SCOPED_TRACE(camera ? "camera list" : "microphone start");
    Harness h;
    h.probes->beforeCall = nullptr;
    testing::Gate gate;
    std::atomic<bool> inStart{false};
    h.sequence->Start();
    if (camera)
      h.StepOnce();
    h.view.duringStart = [&] {
      inStart = true;
      gate.Wait();
    };
    auto step = StepInBackground(h);
    // The UI answers meanwhile: the step's request to show the popup runs here.
    ASSERT_TRUE(h.PumpUntil([&] { return inStart.load(); }));
    std::atomic<bool> released{false};
    auto close = std::async(std::launch::async, [&] {
      h.sequence->Close();
      return released.load();  // the start had ended when Close returned
    });
    EXPECT_EQ(close.wait_for(50ms), std::future_status::timeout);
    released = true;
    gate.Open();
    ASSERT_EQ(close.wait_for(10s), std::future_status::ready);
    EXPECT_TRUE(close.get());
    ASSERT_EQ(step.wait_for(10s), std::future_status::ready);
    EXPECT_EQ(h.sequence->State().stepIndex, camera ? 2 : 1);  // no verdict taken after it
    EXPECT_TRUE(h.view.Starting(L"camera popup").empty());
    EXPECT_TRUE(h.view.StartsOnTheWorker());
  }
  Harness closed;
  closed.sequence->Start();
  closed.sequence->Close();
  closed.sequence->Step();
  EXPECT_TRUE(closed.view.Starting(L"microphone test").empty());
  // The window closes while it shows the popup: the worker's start that follows never begins.
  Harness showing;
  showing.probes->beforeCall = nullptr;
  showing.view.duringShowAudio = [&] { showing.sequence->Close(); };
  showing.sequence->Start();
  auto step = StepInBackground(showing);
  ASSERT_TRUE(showing.PumpUntil([&] { return !showing.view.Starting(L"audio popup").empty(); }));
  ASSERT_EQ(step.wait_for(10s), std::future_status::ready);
  EXPECT_TRUE(showing.view.Starting(L"microphone test").empty());
}

TEST(DetectThreadsTest, DestroyingTheControllerDuringAProbeLeavesTheWorkerSafe) {
  Harness h;
  h.probes->beforeCall = nullptr;
  h.probes->blockStep = 3;
  h.sequence->Start();
  h.StepOnce();
  h.StepOnce();
  std::function<bool()> callback = h.sequence->WorkerCallback();
  std::thread worker([callback] { callback(); });
  h.probes->gate.AwaitWaiter();
  h.sequence.reset();  // the window is destroyed; the worker is not waited for
  h.probes->gate.Open();
  worker.join();
  EXPECT_FALSE(callback());
}

// NetProbe may be released at shutdown only when no call is inside it, and no call may start
// after the close: a step blocked in its probe, or the DNS change blocked in its call.
TEST(DetectThreadsTest, ProbesAreIdleAfterCloseOnlyWhenNoCallIsInside) {
  const struct {
    const char* name;
    int blockStep;  // 0: nothing blocks
    bool idleWhileBlocked;
  } cases[] = {{"a step between its calls", 0, true}, {"a step inside its probe", 3, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Harness h;
    h.probes->beforeCall = nullptr;
    h.probes->blockStep = c.blockStep;
    h.sequence->Start();
    h.StepOnce();
    h.StepOnce();
    std::function<bool()> callback = h.sequence->WorkerCallback();
    std::thread worker;
    if (c.blockStep != 0) {
      worker = std::thread([callback] { callback(); });
      h.probes->gate.AwaitWaiter();
    }
    h.sequence->Close();
    EXPECT_EQ(h.sequence->ProbesIdle(), c.idleWhileBlocked);
    h.probes->gate.Open();
    if (worker.joinable())
      worker.join();
    EXPECT_TRUE(h.sequence->ProbesIdle());
    EXPECT_FALSE(callback());  // and no later step calls NetProbe
    EXPECT_EQ(h.probes->Calls().size(), c.blockStep != 0 ? 1u : 0u);
  }
}

TEST(DetectThreadsTest, StartAndResetRaceARunningWorker) {
  Harness h({0, 0});
  h.probes->beforeCall = nullptr;
  std::atomic<bool> stop{false};
  std::function<bool()> callback = h.sequence->WorkerCallback();
  std::thread worker([&] {
    while (!stop.load() && callback()) {
    }
  });
  for (int i = 0; i < 300; ++i) {
    h.sequence->Start();
    h.sequence->RunUiTasks();
    h.sequence->RefreshTick();
    h.sequence->FlashTick();
    if (i % 3 == 0) {
      h.sequence->Reset();
    }
  }
  h.sequence->Reset();
  stop = true;
  while (worker.joinable()) {
    h.sequence->RunUiTasks();  // a step may wait for a popup
    if (h.sequence->State().stepIndex == 0) {
      h.sequence->Close();
      worker.join();
    }
  }
  const DetectState state = h.sequence->State();
  EXPECT_FALSE(state.running);
  EXPECT_EQ(state.stepIndex, 0);
  EXPECT_TRUE(h.view.OnOneThread());
}

// Windows delivers the 40 ms refresh timer only when no posted message waits, so a step's box can
// open before any tick shows that step's status; the box must still stand over the step's text.
TEST(DetectThreadsTest, ABoxFromTheWorkerOpensOverItsStepsStatus) {
  struct Case {
    const char* name;
    int microphones;
    int cameraIndex;
    int stepsBefore;
  };
  const Case cases[] = {{"microphone box", 0, 0, 0}, {"camera box", 1, -1, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Harness h;
    h.probes->beforeCall = nullptr;
    h.view.microphones = c.microphones;
    h.view.cameraIndex = c.cameraIndex;
    h.sequence->Start();
    for (int i = 0; i < c.stepsBefore; ++i) {
      h.StepOnce();
    }
    h.view.Clear();
    auto step = StepInBackground(h);
    // Only the wake message arrives: no refresh tick runs.
    const auto limit = std::chrono::steady_clock::now() + 10s;
    while (step.wait_for(1ms) != std::future_status::ready &&
           std::chrono::steady_clock::now() < limit) {
      h.sequence->RunUiTasks();
    }
    ASSERT_EQ(step.wait_for(0s), std::future_status::ready);
    const testing::Lines lines = h.view.All();
    const auto box = std::find_if(lines.begin(), lines.end(), [](const std::wstring& l) {
      return l.rfind(L"message ", 0) == 0;
    });
    ASSERT_NE(box, lines.end());
    const auto status = std::find(lines.begin(), box, L"status " + h.sequence->State().statusText);
    EXPECT_NE(status, box) << "the box opened before its step's status was shown";
  }
}

}  // namespace
}  // namespace kestrelrun
