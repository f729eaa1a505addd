#include "directshow/com_thread_win32.h"

#include <objbase.h>

#include <thread>

namespace camprobe::win32 {

void RunInComThread(const std::function<void()>& work) {
  std::thread thread([&work] {
    const HRESULT init = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    work();
    if (SUCCEEDED(init)) {
      CoUninitialize();
    }
  });
  thread.join();
}

void WaitAnswering(HANDLE handle) {
  for (;;) {
    const DWORD woken = MsgWaitForMultipleObjects(1, &handle, FALSE, INFINITE, QS_SENDMESSAGE);
    if (woken != WAIT_OBJECT_0 + 1) {
      return;
    }
    // Delivers the sent messages; posted ones stay queued for the caller's own loop.
    MSG msg;
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
}

}  // namespace camprobe::win32
