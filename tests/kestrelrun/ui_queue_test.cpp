// The UI queue: tasks run on the pumping thread in order, a modal loop inside a task runs the
// queue again without running a task twice, and Shutdown releases every waiting thread.
#include "app/ui_queue.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <string>
#include <thread>
#include <vector>

namespace kestrelrun {
namespace {

using namespace std::chrono_literals;

// Pumps `queue` on this thread until `result` is ready.
template <typename T>
T PumpUntilReady(CUiQueue& queue, std::future<T>& result) {
  while (result.wait_for(1ms) != std::future_status::ready) {
    queue.RunPending();
  }
  return result.get();
}

TEST(UiQueueTest, WaitedTasksRunOnThePumpingThreadInOrder) {
  std::atomic<int> wakes{0};
  CUiQueue queue([&] { ++wakes; });
  std::vector<int> order;
  std::thread::id ranOn;
  auto worker = std::async(std::launch::async, [&] {
    queue.Post([&] { order.push_back(1); });
    const bool waited = queue.RunAndWait([&] {
      order.push_back(2);
      ranOn = std::this_thread::get_id();
    });
    return waited;
  });
  EXPECT_TRUE(PumpUntilReady(queue, worker));
  EXPECT_EQ(order, (std::vector<int>{1, 2}));
  EXPECT_EQ(ranOn, std::this_thread::get_id());
  EXPECT_EQ(wakes.load(), 2);
  // On the UI thread itself the task runs at once instead of waiting for a pump.
  EXPECT_TRUE(queue.RunAndWait([&] { order.push_back(3); }));
  EXPECT_EQ(order.back(), 3);
}

TEST(UiQueueTest, ShutdownReleasesWaitersAndRefusesNewTasks) {
  std::atomic<int> wakes{0};
  CUiQueue queue([&] { ++wakes; });
  std::atomic<bool> ran{false};
  auto worker =
      std::async(std::launch::async, [&] { return queue.RunAndWait([&] { ran = true; }); });
  while (wakes.load() == 0) {
    std::this_thread::sleep_for(1ms);
  }
  queue.Shutdown();  // nobody ever pumped
  ASSERT_EQ(worker.wait_for(2s), std::future_status::ready);
  EXPECT_FALSE(worker.get());
  EXPECT_FALSE(queue.Post([&] { ran = true; }));
  EXPECT_FALSE(queue.RunAndWait([&] { ran = true; }));
  queue.RunPending();
  EXPECT_FALSE(ran.load());
  EXPECT_EQ(wakes.load(), 1);
  EXPECT_TRUE(queue.IsShutDown());
}

TEST(UiQueueTest, AModalLoopInsideATaskRunsEachTaskOnce) {
  CUiQueue queue(nullptr);
  std::vector<std::string> events;
  queue.Post([&] {
    events.push_back("box opens");
    queue.RunPending();  // the box's message loop
    events.push_back("box closed");
  });
  queue.Post([&] { events.push_back("second"); });
  queue.RunPending();
  queue.RunPending();
  EXPECT_EQ(events, (std::vector<std::string>{"box opens", "second", "box closed"}));
}

TEST(UiQueueTest, ShutdownFromARunningTaskLetsItFinishAndDropsTheRest) {
  std::atomic<int> wakes{0};
  CUiQueue queue([&] { ++wakes; });
  std::atomic<bool> laterRan{false};
  // The window closes while the first task's box is up.
  auto first =
      std::async(std::launch::async, [&] { return queue.RunAndWait([&] { queue.Shutdown(); }); });
  while (wakes.load() < 1) {
    std::this_thread::sleep_for(1ms);
  }
  auto second =
      std::async(std::launch::async, [&] { return queue.RunAndWait([&] { laterRan = true; }); });
  while (wakes.load() < 2) {
    std::this_thread::sleep_for(1ms);
  }
  queue.RunPending();
  EXPECT_TRUE(first.get());
  EXPECT_FALSE(second.get());
  EXPECT_FALSE(laterRan.load());
}

}  // namespace
}  // namespace kestrelrun
