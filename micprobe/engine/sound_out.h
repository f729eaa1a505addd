// Wave output: plays blocks on the default render device. Each played block comes back on the
// device's message thread, asks the need-data callback for its next content and is written
// again, every sample's sign inverted.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>

#include "engine/buffer.h"
#include "engine/wave_device.h"

namespace micprobe {

// Inverts every 16-bit sample in place; -32768 has no positive twin and stays -32768.
void InvertSamples(char* data, std::uint32_t bytes);

class CSoundOut {
 public:
  // True when it supplied the block's content.
  using NeedDataCallback = bool (*)(CBuffer* block, void* context);

  CSoundOut(IWaveOut& device, IClock& clock);
  virtual ~CSoundOut();
  CSoundOut(const CSoundOut&) = delete;
  CSoundOut& operator=(const CSoundOut&) = delete;

  virtual bool Stop();
  virtual bool Start(const WaveFormat& format);

  void SetNeedDataCallback(NeedDataCallback callback, void* context);

  bool Open() const { return open_; }
  bool ThreadStarted() const { return threadStarted_; }
  int Outstanding() const { return outstanding_; }
  int ForcedEnds() const { return forcedEnds_; }

 private:
  static void OnBlock(WaveBlock* block, void* self);
  void HandleBlock(WaveBlock* block);
  // Writes a block whose content is set; a block the device refuses is freed.
  void WriteBlock(WaveBlock* block);
  void StopThread();

  WaveFormat format_;
  std::atomic<bool> open_{false};
  std::atomic<int> outstanding_{0};
  bool threadStarted_ = false;
  std::unique_ptr<std::mutex> lock_;  // replaced after a forced thread end
  void* pipeContext_ = nullptr;
  NeedDataCallback needData_ = nullptr;
  std::atomic<int> forcedEnds_{0};
  IWaveOut& device_;
  IClock& clock_;
};

}  // namespace micprobe
