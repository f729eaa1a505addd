// Wave input: records blocks on the default capture device, each completed block arriving on
// the device's message thread, where it goes to the draw callback and then the data callback
// before it records again.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>

#include "MicProbe.h"
#include "engine/buffer.h"
#include "engine/wave_device.h"

namespace micprobe {

inline constexpr int kBlocksInFlight = 3;

class CSoundIn {
 public:
  using DataCallback = void (*)(CBuffer* block, void* context);

  CSoundIn(IWaveIn& device, IClock& clock);
  virtual ~CSoundIn();
  CSoundIn(const CSoundIn&) = delete;
  CSoundIn& operator=(const CSoundIn&) = delete;

  // Stops recording (only while running); false when the reset failed and the stop ended early.
  virtual bool Stop();
  // Opens the default device whatever `device` says, queues the blocks and starts recording.
  virtual bool Start(int device, const WaveFormat& format);

  void SetDataCallback(DataCallback callback, void* context);
  void SetDrawCallback(DrawWaveCallback callback, void* context);

  bool Running() const { return running_; }
  bool ThreadStarted() const { return threadStarted_; }
  int Outstanding() const { return outstanding_; }
  // How often a thread had to be terminated because it did not end within the polls.
  int ForcedEnds() const { return forcedEnds_; }

 private:
  static void OnBlock(WaveBlock* block, void* self);
  void HandleBlock(WaveBlock* block);
  void QueueBlocks();
  void StopThread();

  WaveFormat format_;
  // Replaced (never destroyed) after a forced thread end, which may have left it held.
  std::unique_ptr<std::mutex> lock_;
  void* pipeContext_ = nullptr;
  std::atomic<bool> running_{false};
  std::atomic<int> outstanding_{0};
  DataCallback dataCallback_ = nullptr;
  bool threadStarted_ = false;
  DrawWaveCallback draw_ = nullptr;  // guarded by lock_
  void* drawContext_ = nullptr;      // guarded by lock_
  std::atomic<int> forcedEnds_{0};
  IWaveIn& device_;
  IClock& clock_;
};

}  // namespace micprobe
