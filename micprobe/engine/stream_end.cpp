#include "engine/stream_end.h"

#include <vector>

#include "core/engine_error.h"

namespace micprobe {

namespace {

void RecordIfAny(const char* text) {
  if (text != nullptr) {
    RecordEngineError(text);
  }
}

}  // namespace

void RecordStreamFault(const DirectionTexts& texts, StreamFault fault) {
  switch (fault) {
    case StreamFault::kOutOfMemory:
      RecordIfAny(texts.outOfMemory);
      break;
    case StreamFault::kPrepare:
      RecordIfAny(texts.prepare);
      break;
    case StreamFault::kQueue:
      RecordIfAny(texts.queue);
      break;
    case StreamFault::kUnprepare:
      RecordIfAny(texts.unprepare);
      break;
  }
}

void AbandonLock(std::unique_ptr<std::mutex>& lock) {
  static std::mutex graveyardLock;
  static auto* graveyard = new std::vector<std::unique_ptr<std::mutex>>;
  std::lock_guard<std::mutex> hold(graveyardLock);
  graveyard->push_back(std::move(lock));
  lock = std::make_unique<std::mutex>();
}

IAudioStream::StopResult EndStream(IAudioStream& stream, bool& started,
                                   std::atomic<int>& forcedEnds,
                                   std::unique_ptr<std::mutex>& lock) {
  if (!started) {
    return {true, true, true};
  }
  const IAudioStream::StopResult result = stream.Stop();
  if (!result.reset) {
    return result;
  }
  if (!result.threadEndedItself) {
    ++forcedEnds;
    AbandonLock(lock);
  }
  started = false;
  return result;
}

bool StopDirection(std::atomic<bool>& active, IAudioStream& stream, bool& started,
                   std::atomic<int>& forcedEnds, std::unique_ptr<std::mutex>& lock,
                   const DirectionTexts& texts) {
  if (!active) {
    return false;
  }
  {
    // The stream itself keeps blocks from being queued again once its stop has begun.
    std::lock_guard<std::mutex> hold(*lock);
    active = false;
  }
  const IAudioStream::StopResult result = EndStream(stream, started, forcedEnds, lock);
  if (!result.reset) {
    RecordIfAny(texts.reset);
    return false;
  }
  if (!result.closed) {
    RecordIfAny(texts.close);
  }
  return true;
}

}  // namespace micprobe
