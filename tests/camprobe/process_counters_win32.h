// What the camera tests count in their own process: threads, handles, the handles Wine's
// DirectShow keeps for itself, and CPU time by the module each thread started in.
#pragma once

#include <windows.h>

#include <map>
#include <string>

namespace camprobe_test {

int ThreadCount();
// The thread count once it is back at `before`, or after 8 s. A graph that failed to run
// leaves work to Wine's thread pool, whose idle worker ends by itself after a few seconds.
int SettledThreads(int before);
// Handles of this process, from the system's handle table (Wine has no process handle count).
DWORD HandleCount();
// The handles Wine keeps after `listings` bare listings of the video input category and
// `graphs` filter graphs created and released.
DWORD WineLeak(int listings, int graphs);
// CPU time (100 ns units) of this process's threads, by the file name of their start module.
std::map<std::wstring, ULONGLONG> CpuByModule();

}  // namespace camprobe_test
