#include "engine/sound_in.h"

#include "core/engine_error.h"
#include "core/messages.h"
#include "engine/stream_end.h"

namespace micprobe {

CSoundIn::CSoundIn(IAudioStream& stream) : lock_(std::make_unique<std::mutex>()), stream_(stream) {}

CSoundIn::~CSoundIn() {
  if (running_) {
    Stop();
  }
  EndStream(stream_, threadStarted_, forcedEnds_, lock_);
}

void CSoundIn::SetDrawCallback(DrawWaveCallback callback, void* context) {
  std::lock_guard<std::mutex> hold(*lock_);
  draw_ = callback;
  drawContext_ = context;
}

bool CSoundIn::Start(int /*device*/, const WaveFormat& format) {
  if (threadStarted_ || running_ || sink_ == nullptr) {
    return false;
  }
  format_ = format;
  switch (stream_.Open(format_, *this)) {
    case IAudioStream::OpenResult::kNoThread:
      return false;
    case IAudioStream::OpenResult::kNoDevice:
      RecordEngineError(text::kOpenMicrophone);
      return false;
    case IAudioStream::OpenResult::kOpened:
      break;
  }
  threadStarted_ = true;
  {
    std::lock_guard<std::mutex> hold(*lock_);
    if (stream_.Start(kBlocksInFlight)) {
      running_ = true;
      return true;
    }
  }
  RecordEngineError(text::kStartInput);
  // The queued blocks come back and the device closes, so that the next start meets none open.
  EndStream(stream_, threadStarted_, forcedEnds_, lock_);
  return false;
}

bool CSoundIn::OnBlock(CBuffer& block) {
  DrawWaveCallback draw = nullptr;
  void* drawContext = nullptr;
  {
    std::lock_guard<std::mutex> hold(*lock_);
    if (!running_) {
      return false;  // a stop has begun: neither drawn nor kept
    }
    draw = draw_;
    drawContext = drawContext_;
  }
  if (draw != nullptr) {
    try {
      draw(reinterpret_cast<short*>(block.data), static_cast<int>(format_.samplesPerBlock),
           drawContext);
    } catch (...) {
      // The caller's drawing failed; the recording goes on regardless.
    }
  }
  sink_->StoreCapturedBlock(block);
  return true;
}

void CSoundIn::OnFault(StreamFault fault) {
  switch (fault) {
    case StreamFault::kOutOfMemory:
      RecordEngineError(text::kOutOfMemory);
      break;
    case StreamFault::kPrepare:
      RecordEngineError(text::kPrepareInput);
      break;
    case StreamFault::kQueue:
      RecordEngineError(text::kAddInput);
      break;
    case StreamFault::kUnprepare:
      RecordEngineError(text::kUnprepareInput);
      break;
  }
}

bool CSoundIn::Stop() {
  if (!running_) {
    return false;
  }
  {
    // Set under the lock the handlers read it with; the stream itself keeps blocks from being
    // queued again once its stop has begun.
    std::lock_guard<std::mutex> hold(*lock_);
    running_ = false;
  }
  const IAudioStream::StopResult result = EndStream(stream_, threadStarted_, forcedEnds_, lock_);
  if (!result.reset) {
    RecordEngineError(text::kResetInput);
    return false;
  }
  if (!result.closed) {
    RecordEngineError(text::kCloseInput);
  }
  return true;
}

}  // namespace micprobe
