// Threads for COM work of CamProbe's own, so that the caller's thread and apartment stay as
// they were, and waits that keep the caller's windows answering.
#pragma once

#include <windows.h>

#include <functional>

namespace camprobe::win32 {

// Runs work on a new multithreaded-apartment thread and waits for its end.
void RunInComThread(const std::function<void()>& work);

// Waits for `handle`, meanwhile handing on messages other threads send to this thread's
// windows: a preview thread that re-parents its video window into one of ours sends to them.
void WaitAnswering(HANDLE handle);

}  // namespace camprobe::win32
