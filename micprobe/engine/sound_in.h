// Wave input: records blocks on the default capture device. Each recorded block arrives on the
// stream's thread, where it goes to the draw callback and then to the ring before it records
// again.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>

#include "MicProbe.h"
#include "engine/audio_stream.h"
#include "engine/buffer.h"

namespace micprobe {

inline constexpr int kBlocksInFlight = 3;

// Where recorded blocks go (the pipe's ring); called on the capture thread.
class ICaptureSink {
 public:
  virtual void StoreCapturedBlock(const CBuffer& block) = 0;

 protected:
  ~ICaptureSink() = default;
};

class CSoundIn : private IStreamClient {
 public:
  explicit CSoundIn(IAudioStream& stream);
  virtual ~CSoundIn();
  CSoundIn(const CSoundIn&) = delete;
  CSoundIn& operator=(const CSoundIn&) = delete;

  // Stops recording (only while running); false when the reset failed and the stop ended early.
  virtual bool Stop();
  // Opens the default device whatever `device` says, queues the blocks and starts recording.
  virtual bool Start(int device, const WaveFormat& format);

  void SetSink(ICaptureSink* sink) { sink_ = sink; }
  void SetDrawCallback(DrawWaveCallback callback, void* context);

  bool Running() const { return running_; }
  bool ThreadStarted() const { return threadStarted_; }
  int Outstanding() const { return stream_.BlocksInFlight(); }
  // How often a thread had to be ended by force because it did not end within its wait.
  int ForcedEnds() const { return forcedEnds_; }

 private:
  bool OnBlock(CBuffer& block) override;
  void OnFault(StreamFault fault) override;

  WaveFormat format_;
  // Replaced (never destroyed) after a forced thread end, which may have left it held.
  std::unique_ptr<std::mutex> lock_;
  ICaptureSink* sink_ = nullptr;
  std::atomic<bool> running_{false};
  bool threadStarted_ = false;
  DrawWaveCallback draw_ = nullptr;  // guarded by lock_
  void* drawContext_ = nullptr;      // guarded by lock_
  std::atomic<int> forcedEnds_{0};
  IAudioStream& stream_;
};

}  // namespace micprobe
