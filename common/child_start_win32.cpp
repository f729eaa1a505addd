#include "kestrel/child_start.h"

#include <windows.h>

namespace kestrel {
namespace {

// Starts are taken one at a time per binary, so that the window in which a pipe end is
// inheritable stays short for any start in the process that lists no handles.
SRWLOCK startLock = SRWLOCK_INIT;

class StartLock {
 public:
  StartLock() { AcquireSRWLockExclusive(&startLock); }
  StartLock(const StartLock&) = delete;
  StartLock& operator=(const StartLock&) = delete;
  ~StartLock() { ReleaseSRWLockExclusive(&startLock); }
};

// One attribute, the list of handles the child inherits. Windows 7 needs under 64 bytes for it.
class InheritOnly {
 public:
  explicit InheritOnly(HANDLE* handle) {
    SIZE_T size = sizeof(storage_);
    auto* list = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(storage_);
    if (InitializeProcThreadAttributeList(list, 1, 0, &size) == FALSE) {
      return;
    }
    if (UpdateProcThreadAttribute(list, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, handle,
                                  sizeof(*handle), nullptr, nullptr) == FALSE) {
      DeleteProcThreadAttributeList(list);
      return;
    }
    list_ = list;
  }
  InheritOnly(const InheritOnly&) = delete;
  InheritOnly& operator=(const InheritOnly&) = delete;
  ~InheritOnly() {
    if (list_ != nullptr) {
      DeleteProcThreadAttributeList(list_);
    }
  }

  LPPROC_THREAD_ATTRIBUTE_LIST list() const { return list_; }

 private:
  alignas(8) unsigned char storage_[256] = {};
  LPPROC_THREAD_ATTRIBUTE_LIST list_ = nullptr;
};

}  // namespace

bool StartChildWithOutput(wchar_t* commandLine, void* output, int show,
                          PROCESS_INFORMATION& process) noexcept {
  HANDLE end = static_cast<HANDLE>(output);
  const InheritOnly inherited(&end);
  STARTUPINFOEXW startup{};
  startup.StartupInfo.cb = sizeof(startup);
  startup.StartupInfo.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES;
  startup.StartupInfo.wShowWindow = static_cast<WORD>(show);
  startup.StartupInfo.hStdOutput = end;
  startup.StartupInfo.hStdError = end;
  // Without the list (it could not be made) the child inherits every inheritable handle, as
  // before Vista; the lock still keeps this binary's own pipe ends apart.
  startup.lpAttributeList = inherited.list();
  const DWORD flags = inherited.list() != nullptr ? EXTENDED_STARTUPINFO_PRESENT : 0;

  const StartLock hold;
  if (SetHandleInformation(end, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT) == FALSE) {
    return false;
  }
  const BOOL created = CreateProcessW(nullptr, commandLine, nullptr, nullptr, TRUE, flags, nullptr,
                                      nullptr, &startup.StartupInfo, &process);
  const DWORD error = GetLastError();
  SetHandleInformation(end, HANDLE_FLAG_INHERIT, 0);
  SetLastError(error);
  return created != FALSE;
}

}  // namespace kestrel
