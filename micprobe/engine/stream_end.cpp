#include "engine/stream_end.h"

#include <vector>

namespace micprobe {

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

}  // namespace micprobe
