#include "engine/pipe.h"

#include <algorithm>
#include <cstring>

#include "engine/stream_end.h"

namespace micprobe {

CPipe::CPipe(IAudioStream& input, IAudioStream& output)
    : out_(output), in_(input), ringLock_(std::make_unique<std::mutex>()) {
  in_.SetSink(this);
  out_.SetSource(this);
}

CPipe::~CPipe() {
  if (in_.Running()) {
    in_.Stop();
  }
  if (out_.Open()) {
    out_.Stop();
  }
}

bool CPipe::StartCapture() {
  if (in_.Running() || in_.ThreadStarted()) {
    return false;
  }
  // A thread ended by force may have held the ring lock. Once both threads are gone the lock
  // is replaced (the old one is abandoned, never destroyed while perhaps held).
  const int forcedEnds = in_.ForcedEnds() + out_.ForcedEnds();
  if (forcedEnds != forcedEndsSeen_ && !out_.ThreadStarted()) {
    AbandonLock(ringLock_);
    forcedEndsSeen_ = forcedEnds;
  }
  {
    std::lock_guard<std::mutex> hold(*ringLock_);
    writeIndex_ = 0;
    for (auto& slot : loopbackRing_) {
      slot = std::make_unique<CBuffer>(format_.BlockBytes(), true);
    }
  }
  return in_.Start(-1, format_);
}

bool CPipe::StartPlayback() {
  {
    std::lock_guard<std::mutex> hold(*ringLock_);
    readIndex_ = 0;
  }
  return out_.Start(format_);
}

void CPipe::StopCapture() {
  in_.Stop();
}

void CPipe::StopPlayback() {
  out_.Stop();
}

void CPipe::StoreCapturedBlock(const CBuffer& block) {
  if (loopbackActive_ == 0) {
    return;
  }
  std::lock_guard<std::mutex> hold(*ringLock_);
  CBuffer* slot = loopbackRing_[writeIndex_].get();
  if (slot == nullptr || slot->data == nullptr) {
    return;
  }
  // A slot holds one block; a longer one is cut to the slot's size.
  const std::uint32_t bytes = std::min(block.length, format_.BlockBytes());
  slot->length = bytes;
  std::memcpy(slot->data, block.data, bytes);
  slot->full = 1;
  writeIndex_ = (writeIndex_ + 1) % kRingSlots;
}

bool CPipe::SupplyBlock(CBuffer& block) {
  if (loopbackActive_ == 0) {
    return true;
  }
  std::lock_guard<std::mutex> hold(*ringLock_);
  const CBuffer* slot = loopbackRing_[readIndex_].get();
  if (slot == nullptr || slot->full == 0) {
    return false;
  }
  const std::uint32_t bytes = std::min(slot->length, block.length);
  block.length = bytes;
  std::memcpy(block.data, slot->data, bytes);
  readIndex_ = (readIndex_ + 1) % kRingSlots;
  return true;
}

}  // namespace micprobe
