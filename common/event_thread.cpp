#include "kestrel/event_thread.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <utility>

namespace kestrel {

// The state the owner and the thread share; see the header for who holds it.
struct CEventThread::Shared {
  std::mutex mutex;
  std::condition_variable changed;
  bool stopRequested = false;
  bool run = false;
  bool stopped = false;
  std::shared_ptr<const Callback> callback;
};

CEventThread::~CEventThread() {
  if (shared_ != nullptr) {
    Stop(100);
  }
}

bool CEventThread::Create(Callback callback) {
  if (shared_ != nullptr) {
    return false;
  }
  try {
    auto shared = std::make_shared<Shared>();
    if (callback) {
      shared->callback = std::make_shared<const Callback>(std::move(callback));
    }
    std::thread(Loop, shared).detach();
    shared_ = std::move(shared);
    return true;
  } catch (...) {
    return false;  // no memory or no thread: nothing was started
  }
}

bool CEventThread::Create(PlainCallback callback, void* userValue) {
  if (callback == nullptr) {
    return Create(Callback());
  }
  return Create(Callback([callback, userValue] { return callback(userValue); }));
}

bool CEventThread::SetRun(bool on) {
  if (shared_ == nullptr) {
    return false;
  }
  std::lock_guard<std::mutex> lock(shared_->mutex);
  if (shared_->stopped) {
    return false;
  }
  shared_->run = on;
  shared_->changed.notify_all();
  return true;
}

void CEventThread::Stop(unsigned waitMs) {
  std::shared_ptr<Shared> shared = std::move(shared_);
  if (shared == nullptr) {
    return;
  }
  std::shared_ptr<const Callback> dropped;
  std::unique_lock<std::mutex> lock(shared->mutex);
  dropped = std::move(shared->callback);  // a call in progress holds its own reference
  shared->stopRequested = true;
  shared->changed.notify_all();
  shared->changed.wait_for(lock, std::chrono::milliseconds(waitMs),
                           [&shared] { return shared->stopped; });
  // Whether or not it has ended, the thread keeps its own reference to `shared`.
  lock.unlock();
}

bool CEventThread::Ended() const {
  if (shared_ == nullptr) {
    return true;
  }
  std::lock_guard<std::mutex> lock(shared_->mutex);
  return shared_->stopped;
}

void CEventThread::Loop(std::shared_ptr<Shared> shared) {
  std::unique_lock<std::mutex> lock(shared->mutex);
  for (;;) {
    // Switched on without a callback, the thread waits for a stop.
    shared->changed.wait(lock, [&shared] {
      return shared->stopRequested || (shared->run && shared->callback != nullptr);
    });
    if (shared->stopRequested) {
      break;  // a stop wins over a run signalled at the same time
    }
    std::shared_ptr<const Callback> callback = shared->callback;
    lock.unlock();
    const bool again = (*callback)();
    callback.reset();  // the callback's captures may end here, outside the lock
    lock.lock();
    if (!again) {
      break;
    }
  }
  std::shared_ptr<const Callback> last = std::move(shared->callback);
  shared->stopped = true;
  shared->changed.notify_all();
  lock.unlock();  // the callback's captures end outside the lock
}

}  // namespace kestrel
