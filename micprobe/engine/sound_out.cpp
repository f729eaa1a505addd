#include "engine/sound_out.h"

#include <cstring>

#include "core/engine_error.h"
#include "core/messages.h"
#include "engine/wave_thread.h"

namespace micprobe {

void InvertSamples(char* data, std::uint32_t bytes) {
  for (std::uint32_t offset = 0; offset + 1 < bytes; offset += 2) {
    std::int16_t sample = 0;
    std::memcpy(&sample, data + offset, sizeof sample);
    if (sample != INT16_MIN) {
      sample = static_cast<std::int16_t>(-sample);
    }
    std::memcpy(data + offset, &sample, sizeof sample);
  }
}

CSoundOut::CSoundOut(IWaveOut& device, IClock& clock)
    : lock_(std::make_unique<std::mutex>()), device_(device), clock_(clock) {}

CSoundOut::~CSoundOut() {
  if (open_) {
    Stop();
  }
  StopThread();
}

void CSoundOut::SetNeedDataCallback(NeedDataCallback callback, void* context) {
  needData_ = callback;
  pipeContext_ = context;
}

bool CSoundOut::Start(const WaveFormat& format) {
  if (threadStarted_) {
    return false;
  }
  if (!device_.StartThread(&CSoundOut::OnBlock, this)) {
    return false;
  }
  threadStarted_ = true;
  if (open_ || needData_ == nullptr || pipeContext_ == nullptr) {
    StopThread();
    return false;
  }
  format_ = format;
  {
    std::lock_guard<std::mutex> hold(*lock_);
    if (device_.Open(format_)) {
      open_ = true;
      // Primed blocks start as silence; while the loop-back is off nothing replaces it.
      for (int i = 0; i < 3; ++i) {
        WaveBlock* block = NewBlock(format_.BlockBytes(), true);
        if (block == nullptr) {
          RecordEngineError(text::kOutOfMemory);
          continue;
        }
        CBuffer view(block->data, block->length);
        needData_(&view, pipeContext_);
        block->length = view.length;
        WriteBlock(block);
      }
      return true;
    }
    open_ = false;
  }
  RecordEngineError(text::kOpenSpeaker);
  StopThread();
  return false;
}

void CSoundOut::WriteBlock(WaveBlock* block) {
  InvertSamples(block->data, block->length);
  std::memset(block->platform, 0, sizeof block->platform);
  if (!device_.Prepare(block)) {
    RecordEngineError(text::kPrepareOutput);
    FreeBlock(block);
    return;
  }
  if (!device_.Write(block)) {
    device_.Unprepare(block);
    FreeBlock(block);
    return;
  }
  ++outstanding_;
}

void CSoundOut::OnBlock(WaveBlock* block, void* self) {
  static_cast<CSoundOut*>(self)->HandleBlock(block);
}

void CSoundOut::HandleBlock(WaveBlock* block) {
  if (!open_) {
    device_.Unprepare(block);
    FreeBlock(block);
    --outstanding_;
    return;
  }
  if (!device_.Unprepare(block)) {
    // The device may still hold it: leaving it is safer than freeing it.
    RecordEngineError(text::kUnprepareOutput);
    return;
  }
  --outstanding_;
  CBuffer view(block->data, format_.BlockBytes());
  if (!needData_(&view, pipeContext_) || view.length == 0) {
    // The slot to play was never filled: one block fewer in flight from now on.
    FreeBlock(block);
    return;
  }
  block->length = view.length;
  {
    // Written only while no stop has begun, so that the reset returns every block.
    std::lock_guard<std::mutex> hold(*lock_);
    if (open_) {
      WriteBlock(block);
      return;
    }
  }
  FreeBlock(block);
}

bool CSoundOut::Stop() {
  if (!open_) {
    return false;
  }
  {
    std::lock_guard<std::mutex> hold(*lock_);
    open_ = false;
    device_.Reset();
    clock_.SleepMs(100);
  }
  device_.Close();
  clock_.SleepMs(30);
  StopThread();
  return true;
}

void CSoundOut::StopThread() {
  EndDeviceThread(device_, clock_, threadStarted_, forcedEnds_, lock_);
}

}  // namespace micprobe
