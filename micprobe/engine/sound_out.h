// Wave output: plays blocks on the default render device. Each played block comes back on the
// stream's thread, takes its next content from the source and plays again, every sample's sign
// inverted.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>

#include "engine/audio_stream.h"
#include "engine/buffer.h"

namespace micprobe {

inline constexpr int kPrimedBlocks = 3;

// Inverts every 16-bit sample in place; -32768 has no positive twin and stays -32768.
void InvertSamples(char* data, std::uint32_t bytes);

// What plays next (the pipe's ring): true when it supplied the block's content. Called on the
// playback thread, and on the starting thread while the first blocks are filled.
class IPlaybackSource {
 public:
  virtual bool SupplyBlock(CBuffer& block) = 0;

 protected:
  ~IPlaybackSource() = default;
};

class CSoundOut : private IStreamClient {
 public:
  explicit CSoundOut(IAudioStream& stream);
  virtual ~CSoundOut();
  CSoundOut(const CSoundOut&) = delete;
  CSoundOut& operator=(const CSoundOut&) = delete;

  virtual bool Stop();
  virtual bool Start(const WaveFormat& format);

  void SetSource(IPlaybackSource* source) { source_ = source; }

  bool Open() const { return open_; }
  bool ThreadStarted() const { return threadStarted_; }
  int Outstanding() const { return stream_.BlocksInFlight(); }
  int ForcedEnds() const { return forcedEnds_; }

 private:
  bool OnBlock(CBuffer& block) override;
  void FillFirst(CBuffer& block) override;
  void OnFault(StreamFault fault) override;

  WaveFormat format_;
  std::atomic<bool> open_{false};
  bool threadStarted_ = false;
  std::unique_ptr<std::mutex> lock_;  // replaced after a forced thread end
  IPlaybackSource* source_ = nullptr;
  std::atomic<int> forcedEnds_{0};
  IAudioStream& stream_;
};

}  // namespace micprobe
