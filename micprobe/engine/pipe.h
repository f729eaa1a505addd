// The loop-back: captured blocks are copied into a ring of ten slots, and the output plays
// them back from the ring.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>

#include "engine/buffer.h"
#include "engine/sound_in.h"
#include "engine/sound_out.h"

namespace micprobe {

inline constexpr int kRingSlots = 10;

class CPipe : public ICaptureSink, public IPlaybackSource {
 public:
  CPipe(IAudioStream& input, IAudioStream& output);
  virtual ~CPipe();
  CPipe(const CPipe&) = delete;
  CPipe& operator=(const CPipe&) = delete;
  virtual void Idle() {}

  // Fresh ring slots and the wave input started. Refused while the input runs or its thread
  // is alive: the running capture thread writes into the slots.
  bool StartCapture();
  bool StartPlayback();
  void StopCapture();
  void StopPlayback();

  // The two ends of the ring: the input thread stores, the output thread takes.
  void StoreCapturedBlock(const CBuffer& block) override;
  bool SupplyBlock(CBuffer& block) override;

  void SetLoopbackActive(bool active) { loopbackActive_ = active ? 1 : 0; }
  bool LoopbackActive() const { return loopbackActive_ != 0; }

  CSoundIn& Input() { return in_; }
  CSoundOut& Output() { return out_; }

 protected:
  CSoundOut out_;
  CSoundIn in_;
  std::unique_ptr<std::mutex> ringLock_;
  std::unique_ptr<CBuffer> loopbackRing_[kRingSlots];
  int readIndex_ = 0;
  int writeIndex_ = 0;
  std::atomic<std::uint32_t> loopbackActive_{0};

 private:
  WaveFormat format_;
  int forcedEndsSeen_ = 0;
};

}  // namespace micprobe
