#include "engine/sound_in.h"

#include "core/engine_error.h"
#include "core/messages.h"
#include "engine/wave_thread.h"

namespace micprobe {

CSoundIn::CSoundIn(IWaveIn& device, IClock& clock)
    : lock_(std::make_unique<std::mutex>()), device_(device), clock_(clock) {}

CSoundIn::~CSoundIn() {
  if (running_) {
    Stop();
  }
  StopThread();
}

void CSoundIn::SetDataCallback(DataCallback callback, void* context) {
  dataCallback_ = callback;
  pipeContext_ = context;
}

void CSoundIn::SetDrawCallback(DrawWaveCallback callback, void* context) {
  std::lock_guard<std::mutex> hold(*lock_);
  draw_ = callback;
  drawContext_ = context;
}

bool CSoundIn::Start(int /*device*/, const WaveFormat& format) {
  if (threadStarted_) {
    return false;
  }
  if (!device_.StartThread(&CSoundIn::OnBlock, this)) {
    return false;
  }
  threadStarted_ = true;
  if (running_ || dataCallback_ == nullptr || pipeContext_ == nullptr) {
    StopThread();
    return false;
  }
  format_ = format;
  if (!device_.Open(format_)) {
    RecordEngineError(text::kOpenMicrophone);
    StopThread();
    return false;
  }
  QueueBlocks();
  {
    std::lock_guard<std::mutex> hold(*lock_);
    if (device_.Start()) {
      running_ = true;
      return true;
    }
    running_ = false;
  }
  RecordEngineError(text::kStartInput);
  // Give the queued blocks back (the thread frees them) and close, so that the next start
  // meets no open device.
  device_.Reset();
  clock_.SleepMs(100);
  device_.Close();
  StopThread();
  return false;
}

void CSoundIn::QueueBlocks() {
  for (int i = 0; i < kBlocksInFlight; ++i) {
    WaveBlock* block = NewBlock(format_.BlockBytes(), true);
    if (block == nullptr) {
      RecordEngineError(text::kOutOfMemory);
      continue;
    }
    if (!device_.Prepare(block)) {
      RecordEngineError(text::kPrepareInput);
      FreeBlock(block);
      continue;
    }
    if (!device_.Add(block)) {
      RecordEngineError(text::kAddInput);
      device_.Unprepare(block);
      FreeBlock(block);
      continue;
    }
    ++outstanding_;
  }
}

void CSoundIn::OnBlock(WaveBlock* block, void* self) {
  static_cast<CSoundIn*>(self)->HandleBlock(block);
}

void CSoundIn::HandleBlock(WaveBlock* block) {
  DrawWaveCallback draw = nullptr;
  void* drawContext = nullptr;
  bool running = false;
  {
    std::lock_guard<std::mutex> hold(*lock_);
    running = running_;
    draw = draw_;
    drawContext = drawContext_;
  }
  if (!running) {
    device_.Unprepare(block);
    FreeBlock(block);
    --outstanding_;
    return;
  }
  if (!device_.Unprepare(block)) {
    RecordEngineError(text::kUnprepareInput);
    FreeBlock(block);
    --outstanding_;
    return;
  }
  CBuffer view(block->data, block->length);
  if (draw != nullptr) {
    draw(reinterpret_cast<short*>(block->data), static_cast<int>(format_.samplesPerBlock),
         drawContext);
  }
  if (dataCallback_ != nullptr) {
    dataCallback_(&view, pipeContext_);
  }
  {
    // Re-queued only while no stop has begun: a block added after the reset would keep the
    // device from closing.
    std::lock_guard<std::mutex> hold(*lock_);
    if (running_ && device_.Prepare(block)) {
      if (device_.Add(block)) {
        return;
      }
      device_.Unprepare(block);
    }
  }
  FreeBlock(block);
  --outstanding_;
}

bool CSoundIn::Stop() {
  if (!running_) {
    return false;
  }
  {
    std::lock_guard<std::mutex> hold(*lock_);
    running_ = false;
    if (!device_.Reset()) {
      RecordEngineError(text::kResetInput);
      return false;
    }
  }
  clock_.SleepMs(100);
  if (!device_.Close()) {
    RecordEngineError(text::kCloseInput);
  }
  clock_.SleepMs(10);
  StopThread();
  return true;
}

void CSoundIn::StopThread() {
  EndDeviceThread(device_, clock_, threadStarted_, forcedEnds_, lock_);
}

}  // namespace micprobe
