#include "kestrel/child_start.h"

#include <windows.h>

namespace kestrel {
namespace {

SRWLOCK binaryLock = SRWLOCK_INIT;

// The process's mutex, made (or opened, when another binary of this process made it first) on
// the first start and closed when this binary is unloaded.
class ProcessMutex {
 public:
  ProcessMutex()
      : handle_(CreateMutexW(nullptr, FALSE, ChildStartMutexName(GetCurrentProcessId()).c_str())) {}
  ProcessMutex(const ProcessMutex&) = delete;
  ProcessMutex& operator=(const ProcessMutex&) = delete;
  ~ProcessMutex() {
    if (handle_ != nullptr) {
      CloseHandle(handle_);
    }
  }
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

HANDLE ProcessStartMutex() {
  static const ProcessMutex mutex;
  return mutex.get();
}

}  // namespace

std::wstring ChildStartMutexName(unsigned long processId) {
  return L"Local\\Kestrel.ChildStart." + std::to_wstring(processId);
}

ChildStartLock::ChildStartLock(unsigned long waitMs) {
  AcquireSRWLockExclusive(&binaryLock);
  const HANDLE mutex = ProcessStartMutex();
  if (mutex != nullptr) {
    // An abandoned mutex is ours as well: its holder ended without releasing it.
    const DWORD waited = WaitForSingleObject(mutex, waitMs);
    ownsMutex_ = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
  }
}

ChildStartLock::~ChildStartLock() {
  if (ownsMutex_) {
    ReleaseMutex(ProcessStartMutex());
  }
  ReleaseSRWLockExclusive(&binaryLock);
}

}  // namespace kestrel
