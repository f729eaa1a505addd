// Ending a device's message thread: a quit message, up to 50 polls of 10 ms, and only then a
// forced end.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>

#include "engine/wave_device.h"

namespace micprobe {

inline constexpr int kThreadStopPolls = 50;
inline constexpr int kThreadStopPollMs = 10;

// True when the thread ended by itself; false when it had to be terminated.
bool StopWaveThread(IWaveThread& thread, IClock& clock);

// Replaces a lock that a thread ended by force may have held. The old one is kept for the
// process's life, neither destroyed nor taken again.
void AbandonLock(std::unique_ptr<std::mutex>& lock);

// Ends the thread of `device` when `started` says it runs. A forced end is counted, and the lock
// the ended thread may have held is abandoned rather than left to deadlock the next start.
void EndDeviceThread(IWaveThread& device, IClock& clock, bool& started,
                     std::atomic<int>& forcedEnds, std::unique_ptr<std::mutex>& lock);

// The blocks a device thread works on: allocated and freed together with their data.
WaveBlock* NewBlock(std::uint32_t bytes, bool zeroed);
void FreeBlock(WaveBlock* block);

}  // namespace micprobe
