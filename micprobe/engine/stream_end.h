// Ending a stream's run, shared by the two directions: a thread ended by force is counted, and
// the lock it may have held is abandoned rather than left to deadlock the next start.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>

#include "engine/audio_stream.h"

namespace micprobe {

// Replaces a lock that a thread ended by force may have held. The old one is kept for the
// process's life, neither destroyed nor taken again.
void AbandonLock(std::unique_ptr<std::mutex>& lock);

// Stops `stream` when `started` says its thread runs; `started` stays set when the device did
// not give its blocks back (its thread then stays too).
IAudioStream::StopResult EndStream(IAudioStream& stream, bool& started,
                                   std::atomic<int>& forcedEnds, std::unique_ptr<std::mutex>& lock);

}  // namespace micprobe
