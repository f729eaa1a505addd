#include "app/ui_queue.h"

#include <utility>

namespace kestrelrun {

// One queued task; `done` tells its waiter (if any) that it ran or was dropped.
struct CUiQueue::Entry {
  Task task;
  bool done = false;
  bool ran = false;
};

CUiQueue::CUiQueue(std::function<void()> wake)
    : wake_(std::move(wake)), uiThread_(std::this_thread::get_id()) {}

CUiQueue::~CUiQueue() {
  Shutdown();
}

bool CUiQueue::Post(Task task) {
  {
    std::lock_guard<std::mutex> guard(lock_);
    if (shutDown_) {
      return false;
    }
    auto entry = std::make_shared<Entry>();
    entry->task = std::move(task);
    queue_.push_back(std::move(entry));
    Wake();
  }
  return true;
}

bool CUiQueue::RunAndWait(Task task) {
  if (std::this_thread::get_id() == uiThread_) {
    if (IsShutDown()) {
      return false;
    }
    task();
    return true;
  }
  auto entry = std::make_shared<Entry>();
  entry->task = std::move(task);
  {
    std::lock_guard<std::mutex> guard(lock_);
    if (shutDown_) {
      return false;
    }
    queue_.push_back(entry);
    Wake();
  }
  std::unique_lock<std::mutex> guard(lock_);
  done_.wait(guard, [&] { return entry->done; });
  return entry->ran;
}

void CUiQueue::RunPending() {
  for (;;) {
    std::shared_ptr<Entry> entry;
    {
      std::lock_guard<std::mutex> guard(lock_);
      if (shutDown_ || queue_.empty()) {
        return;
      }
      entry = std::move(queue_.front());
      queue_.pop_front();
    }
    // Run outside the lock: the task may open a modal box that runs this loop again.
    entry->task();
    {
      std::lock_guard<std::mutex> guard(lock_);
      entry->ran = true;
      entry->done = true;
    }
    done_.notify_all();
  }
}

void CUiQueue::Shutdown() {
  std::deque<std::shared_ptr<Entry>> dropped;
  {
    std::lock_guard<std::mutex> guard(lock_);
    shutDown_ = true;
    dropped.swap(queue_);
    for (const auto& entry : dropped) {
      entry->done = true;
    }
  }
  done_.notify_all();
  // The dropped tasks (and what they captured) are destroyed here, outside the lock.
}

// Under the lock, so that no wake call can follow Shutdown.
void CUiQueue::Wake() {
  if (wake_) {
    wake_();
  }
}

bool CUiQueue::IsShutDown() const {
  std::lock_guard<std::mutex> guard(lock_);
  return shutDown_;
}

}  // namespace kestrelrun
