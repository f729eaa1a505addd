// Every report of the platform to a host window runs inside one (internal).
#pragma once

#include "toolkit/ui_context.h"

namespace toolkit {

// Every report of the platform runs inside one: windows that end themselves are deleted after.
class DispatchGuard {
 public:
  explicit DispatchGuard(UiContext& context) : context_(context) { context_.EnterDispatch(); }
  ~DispatchGuard() { context_.LeaveDispatch(); }
  DispatchGuard(const DispatchGuard&) = delete;
  DispatchGuard& operator=(const DispatchGuard&) = delete;

 private:
  UiContext& context_;
};

}  // namespace toolkit
