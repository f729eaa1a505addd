// Held around every CreateProcessW that lets the child inherit handles, while a pipe's child
// end is inheritable: a child started meanwhile by another thread would otherwise take that end
// too and keep the pipe open, and the read of its owner would wait for that other child to end.
//
// NetProbe.dll and UsageLink.dll each link this library, and one program loads both, so the
// lock is one per process, not per binary: a mutex named after the process id, taken after the
// binary's own lock. Its wait is bounded, so that a handle of that name held elsewhere (a
// squatter in the same session) never stops a start; past the bound only the binary's own lock
// is held, as when the mutex cannot be made at all.
#pragma once

#include <string>

namespace kestrel {

// How long a start waits for the process's mutex before it goes on under its binary's lock.
constexpr unsigned long kChildStartWaitMs = 10000;

// "Local\Kestrel.ChildStart.<process id>"
std::wstring ChildStartMutexName(unsigned long processId);

class ChildStartLock {
 public:
  explicit ChildStartLock(unsigned long waitMs = kChildStartWaitMs);
  ChildStartLock(const ChildStartLock&) = delete;
  ChildStartLock& operator=(const ChildStartLock&) = delete;
  ~ChildStartLock();

  // False when the start goes on without the process's mutex (none, or its wait timed out).
  bool heldAcrossProcess() const { return ownsMutex_; }

 private:
  bool ownsMutex_ = false;
};

}  // namespace kestrel
