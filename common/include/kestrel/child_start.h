// Held around every CreateProcessW that lets the child inherit handles, while a pipe's child
// end is inheritable: a child started meanwhile by another thread would otherwise take that end
// too and keep the pipe open. One lock per binary that links this library.
#pragma once

namespace kestrel {

class ChildStartLock {
 public:
  ChildStartLock();
  ChildStartLock(const ChildStartLock&) = delete;
  ChildStartLock& operator=(const ChildStartLock&) = delete;
  ~ChildStartLock();
};

}  // namespace kestrel
