// Carries work from other threads over to the UI thread, which owns the windows. A thread posts a
// closure; the queue calls its wake callback (the window posts itself a message), and the UI
// thread runs the queued closures when it handles that message. RunAndWait blocks the calling
// thread until its closure has run. Shutdown, at close, drops what is queued and releases every
// waiting thread at once, so closing the window never waits for a worker and never deadlocks.
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace kestrelrun {

class CUiQueue {
 public:
  using Task = std::function<void()>;

  // Made on the UI thread. `wake` is called from the posting thread, under the queue's lock (never
  // after Shutdown has returned); it must not block and must not call the queue.
  explicit CUiQueue(std::function<void()> wake);
  CUiQueue(const CUiQueue&) = delete;
  CUiQueue& operator=(const CUiQueue&) = delete;
  ~CUiQueue();

  // Any thread but the UI thread: queues `task`. False after Shutdown (the task is dropped).
  bool Post(Task task);
  // Queues `task` and waits until the UI thread has run it. False when Shutdown came first; the
  // task then has not run and never will. On the UI thread itself (the one that made the queue)
  // the task runs at once, since waiting there could never end.
  bool RunAndWait(Task task);

  // UI thread: runs the queued tasks one at a time, in order. A task may open a modal box whose
  // message loop calls RunPending again; each task still runs once.
  void RunPending();
  // UI thread: refuses further tasks, drops the queued ones and releases their waiting threads.
  // A task that is running (Shutdown called from inside it) finishes first, then its waiter is
  // released.
  void Shutdown();
  bool IsShutDown() const;

 private:
  struct Entry;
  void Wake();

  std::function<void()> wake_;
  const std::thread::id uiThread_;
  mutable std::mutex lock_;
  std::condition_variable done_;
  std::deque<std::shared_ptr<Entry>> queue_;
  bool shutDown_ = false;
};

}  // namespace kestrelrun
