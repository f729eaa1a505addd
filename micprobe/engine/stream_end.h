// What the two directions share around their stream: the failure texts of each stream step,
// and the end of a run, where a thread ended by force is counted and the lock it may have held
// is abandoned rather than left to deadlock the next start.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>

#include "engine/audio_stream.h"

namespace micprobe {

// A direction's texts for its stream's failed steps; null where the direction records none.
struct DirectionTexts {
  const char* outOfMemory;
  const char* prepare;
  const char* queue;
  const char* unprepare;
  const char* reset;
  const char* close;
};

// Records the direction's text for `fault`, if it has one.
void RecordStreamFault(const DirectionTexts& texts, StreamFault fault);

// Replaces a lock that a thread ended by force may have held. The old one is kept for the
// process's life, neither destroyed nor taken again.
void AbandonLock(std::unique_ptr<std::mutex>& lock);

// Stops `stream` when `started` says its thread runs; `started` stays set when the device did
// not give its blocks back (its thread then stays too).
IAudioStream::StopResult EndStream(IAudioStream& stream, bool& started,
                                   std::atomic<int>& forcedEnds, std::unique_ptr<std::mutex>& lock);

// A direction's stop: only while `active` (running, open) is set, which is cleared under
// `lock`, the lock the block handlers read it with; then the run ends as EndStream does, and
// a failed reset or close records the direction's text. False when nothing ran or the reset
// failed (the device and the thread then stay).
bool StopDirection(std::atomic<bool>& active, IAudioStream& stream, bool& started,
                   std::atomic<int>& forcedEnds, std::unique_ptr<std::mutex>& lock,
                   const DirectionTexts& texts);

}  // namespace micprobe
