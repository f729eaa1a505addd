#include "engine/wave_thread.h"

#include <cstring>
#include <new>
#include <vector>

namespace micprobe {

bool StopWaveThread(IWaveThread& thread, IClock& clock) {
  thread.PostQuit();
  bool ended = false;
  for (int poll = 0; poll < kThreadStopPolls; ++poll) {
    if (!thread.ThreadActive()) {
      ended = true;
      break;
    }
    clock.SleepMs(kThreadStopPollMs);
  }
  if (!ended) {
    thread.TerminateThread();
  }
  thread.CloseThread();
  return ended;
}

void AbandonLock(std::unique_ptr<std::mutex>& lock) {
  static std::mutex graveyardLock;
  static auto* graveyard = new std::vector<std::unique_ptr<std::mutex>>;
  std::lock_guard<std::mutex> hold(graveyardLock);
  graveyard->push_back(std::move(lock));
  lock = std::make_unique<std::mutex>();
}

void EndDeviceThread(IWaveThread& device, IClock& clock, bool& started,
                     std::atomic<int>& forcedEnds, std::unique_ptr<std::mutex>& lock) {
  if (!started) {
    return;
  }
  if (!StopWaveThread(device, clock)) {
    ++forcedEnds;
    AbandonLock(lock);
  }
  started = false;
}

WaveBlock* NewBlock(std::uint32_t bytes, bool zeroed) {
  WaveBlock* block = new (std::nothrow) WaveBlock;
  if (block == nullptr) {
    return nullptr;
  }
  block->data = new (std::nothrow) char[bytes];
  if (block->data == nullptr) {
    delete block;
    return nullptr;
  }
  if (zeroed) {
    std::memset(block->data, 0, bytes);
  }
  block->length = bytes;
  return block;
}

void FreeBlock(WaveBlock* block) {
  if (block != nullptr) {
    delete[] block->data;
    delete block;
  }
}

}  // namespace micprobe
