// The worker thread: how often the callback runs, switching, and stops that give up waiting.
#include "kestrel/event_thread.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

namespace kestrel {
namespace {

using Clock = std::chrono::steady_clock;

// Waits for `done`, giving up only after a time no loaded machine needs.
template <typename Predicate>
bool Eventually(Predicate done) {
  const auto until = Clock::now() + std::chrono::seconds(60);
  while (!done()) {
    if (Clock::now() > until) {
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

// A gate a callback blocks on until the test opens it.
struct Gate {
  std::mutex mutex;
  std::condition_variable opened;
  bool open = false;
  std::atomic<bool> entered{false};
  std::atomic<bool> left{false};
  std::atomic<int> calls{0};

  void Pass() {
    entered = true;
    std::unique_lock<std::mutex> lock(mutex);
    opened.wait(lock, [this] { return open; });
  }
  void Open() {
    std::lock_guard<std::mutex> lock(mutex);
    open = true;
    opened.notify_all();
  }
};

TEST(EventThread, CallbackReturningFalseRunsOnceAndEndsTheThread) {
  std::atomic<int> calls{0};
  CEventThread thread;
  ASSERT_TRUE(thread.Create([&calls] {
    ++calls;
    return false;
  }));
  ASSERT_TRUE(thread.SetRun(true));
  ASSERT_TRUE(Eventually([&thread] { return thread.Ended(); }));
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_EQ(calls, 1);
  EXPECT_FALSE(thread.SetRun(true));  // nothing left to switch on

  // An ended thread is not waited for: a stop that waited would take the whole 10 s.
  const auto start = Clock::now();
  thread.Stop(10000);
  EXPECT_LT(Clock::now() - start, std::chrono::seconds(5));
}

TEST(EventThread, SetRunWithoutAThreadFails) {
  CEventThread thread;
  EXPECT_FALSE(thread.SetRun(true));
  EXPECT_FALSE(thread.SetRun(false));
  ASSERT_TRUE(thread.Create([] { return true; }));
  thread.Stop(100);
  EXPECT_FALSE(thread.SetRun(true));
}

TEST(EventThread, NoCallBeforeSwitchingOnAndNoneWhilePaused) {
  // The third call is held at a gate while the loop is switched off, so the count at the pause
  // is known whatever the machine's speed: no call may follow it.
  auto gate = std::make_shared<Gate>();
  CEventThread thread;
  ASSERT_TRUE(thread.Create([gate] {
    if (++gate->calls == 3) {
      gate->Pass();
    }
    return true;
  }));
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_EQ(gate->calls, 0);
  ASSERT_TRUE(thread.SetRun(true));
  ASSERT_TRUE(Eventually([&gate] { return gate->entered.load(); }));
  ASSERT_TRUE(thread.SetRun(false));
  gate->Open();
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  EXPECT_EQ(gate->calls, 3);
  thread.Stop(10000);
  EXPECT_TRUE(thread.Ended());
}

TEST(EventThread, PlainCallbackGetsItsUserValue) {
  std::atomic<int> calls{0};
  CEventThread thread;
  ASSERT_TRUE(thread.Create(
      [](void* user) {
        ++*static_cast<std::atomic<int>*>(user);
        return false;
      },
      &calls));
  ASSERT_TRUE(thread.SetRun(true));
  ASSERT_TRUE(Eventually([&thread] { return thread.Ended(); }));
  EXPECT_EQ(calls, 1);
}

TEST(EventThread, CreateTwiceFailsAndStopMakesItReusable) {
  CEventThread thread;
  ASSERT_TRUE(thread.Create([] { return false; }));
  EXPECT_FALSE(thread.Create([] { return false; }));
  thread.Stop(100);
  std::atomic<int> calls{0};
  ASSERT_TRUE(thread.Create([&calls] {
    ++calls;
    return false;
  }));
  ASSERT_TRUE(thread.SetRun(true));
  ASSERT_TRUE(Eventually([&calls] { return calls == 1; }));
}

// The heart of a stop at exit: the wait is bounded, the blocked call later finishes on its own
// and what it touches (held through the callback's shared_ptr) is still alive.
TEST(EventThread, ShortStopReturnsWhileACallbackIsBlockedAndTheCallEndsSafely) {
  auto gate = std::make_shared<Gate>();
  std::weak_ptr<Gate> watch = gate;
  auto thread = std::make_unique<CEventThread>();
  ASSERT_TRUE(thread->Create([gate] {
    ++gate->calls;
    gate->Pass();
    gate->left = true;  // written after the owner has gone: must still be alive
    return true;
  }));
  ASSERT_TRUE(thread->SetRun(true));
  ASSERT_TRUE(Eventually([&gate] { return gate->entered.load(); }));

  // The call stays blocked until the gate opens below: a stop that waited for it would never
  // return. The stop waits its time first (a second stop finds nothing left to stop).
  constexpr auto kWait = std::chrono::milliseconds(300);
  const auto start = Clock::now();
  thread->Stop(static_cast<unsigned>(kWait.count()));
  EXPECT_GE(Clock::now() - start, kWait - std::chrono::milliseconds(20));  // a timer tick early
  EXPECT_LT(Clock::now() - start, kWait + std::chrono::seconds(5));
  thread.reset();  // the owner is gone while the call is still blocked

  Gate* raw = gate.get();
  gate.reset();
  EXPECT_FALSE(watch.expired());  // the thread's call keeps its data
  raw->Open();
  ASSERT_TRUE(Eventually([&watch] { return watch.expired(); }));  // freed once the thread ends
}

TEST(EventThread, DestroyingAnEndedThreadDoesNotWait) {
  // The destructor's wait is 100 ms: one that waited would take that long every time, while a
  // busy machine may hold up any single try. The quickest of five tells them apart.
  auto quickest = std::chrono::steady_clock::duration::max();
  for (int attempt = 0; attempt < 5; ++attempt) {
    auto thread = std::make_unique<CEventThread>();
    ASSERT_TRUE(thread->Create([] { return false; }));
    ASSERT_TRUE(thread->SetRun(true));
    ASSERT_TRUE(Eventually([&thread] { return thread->Ended(); }));
    const auto start = Clock::now();
    thread.reset();
    quickest = std::min(quickest, Clock::now() - start);
  }
  EXPECT_LT(quickest, std::chrono::milliseconds(100));
}

TEST(EventThread, StopWinsOverRunAndEndsALoopingThread) {
  std::atomic<int> calls{0};
  CEventThread thread;
  ASSERT_TRUE(thread.Create([&calls] {
    ++calls;
    return true;
  }));
  ASSERT_TRUE(thread.SetRun(true));
  ASSERT_TRUE(Eventually([&calls] { return calls > 0; }));
  thread.Stop(10000);  // returns once the thread has ended
  const int atStop = calls;
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_EQ(calls, atStop);
}

}  // namespace
}  // namespace kestrel
