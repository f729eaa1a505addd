// Work for the UI thread. The detection worker calls some popup operations (starting the
// microphone test, listing the cameras) that must then change controls; the toolkit's tree
// belongs to the UI thread, so such changes wait here until the popup's timer runs them. On the
// UI thread itself they run at once.
#pragma once

#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace popups {

class UiTaskQueue {
 public:
  // The thread that builds the queue is taken as the UI thread.
  UiTaskQueue() : uiThread_(std::this_thread::get_id()) {}

  void Post(std::function<void()> task) {
    if (std::this_thread::get_id() == uiThread_) {
      task();
      return;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    if (!closed_)
      tasks_.push_back(std::move(task));
  }
  // On the UI thread: runs what waits, in order (tasks posted meanwhile wait for the next call).
  void RunPending() {
    std::vector<std::function<void()>> tasks;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      tasks.swap(tasks_);
    }
    for (auto& task : tasks)
      task();
  }
  // Drops what waits and refuses what comes (the window is going).
  void Close() {
    std::lock_guard<std::mutex> lock(mutex_);
    closed_ = true;
    tasks_.clear();
  }
  bool OnUiThread() const { return std::this_thread::get_id() == uiThread_; }

 private:
  std::thread::id uiThread_;
  std::mutex mutex_;
  std::vector<std::function<void()>> tasks_;
  bool closed_ = false;
};

}  // namespace popups
