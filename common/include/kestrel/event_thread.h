// A thread that runs one callback over and over while it is switched on, and that its owner can
// stop from another thread with a bounded wait.
//
// Stopping never kills the thread. When the wait runs out while a callback is still running,
// Stop returns anyway and the thread is left to finish that call on its own; it then sees the
// stop request and ends without calling again. To make that safe, everything the thread touches
// lives in one block held by std::shared_ptr: the owner's object drops its reference in Stop,
// the thread drops its own when it ends, so the block outlives whichever finishes last. The
// callback itself is kept in that block too (and copied by reference count for each call), so
// whatever it captures stays alive for the call in progress: a callback whose data must survive
// a stop that gave up waiting captures a std::shared_ptr to that data rather than a raw pointer.
// A plain function with a user value can be used as well; then the owner keeps the user value
// alive until the thread has ended (Ended()).
//
// Create, SetRun and Stop are meant for one owner thread; the loop runs on its own thread.
#pragma once

#include <functional>
#include <memory>

namespace kestrel {

class CEventThread {
 public:
  // Returns false to end the thread.
  using Callback = std::function<bool()>;
  using PlainCallback = bool (*)(void* userValue);

  CEventThread() = default;
  CEventThread(const CEventThread&) = delete;
  CEventThread& operator=(const CEventThread&) = delete;
  // Stop(100) when a thread exists.
  virtual ~CEventThread();

  // Starts the thread, which does not call the callback before SetRun(true). False, with
  // nothing left behind, when the thread cannot be started or a thread of this object exists.
  bool Create(Callback callback);
  bool Create(PlainCallback callback, void* userValue);

  // Switches the loop on or off. False when no thread exists (never created, stopped, or ended
  // on its own).
  bool SetRun(bool on);

  // Clears the callback, asks the thread to end and waits at most `waitMs` for it. Returns after
  // that wait whatever the thread is doing; the object can then be created again.
  void Stop(unsigned waitMs);

  // True once the thread has left its loop (or none was ever started).
  bool Ended() const;

 private:
  struct Shared;
  static void Loop(std::shared_ptr<Shared> shared);

  std::shared_ptr<Shared> shared_;
};

}  // namespace kestrel
