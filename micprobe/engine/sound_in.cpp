#include "engine/sound_in.h"

#include "core/engine_error.h"
#include "core/messages.h"
#include "engine/stream_end.h"

namespace micprobe {

namespace {

const DirectionTexts kInputTexts{text::kOutOfMemory,    text::kPrepareInput, text::kAddInput,
                                 text::kUnprepareInput, text::kResetInput,   text::kCloseInput};

}  // namespace

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
  RecordStreamFault(kInputTexts, fault);
}

bool CSoundIn::Stop() {
  return StopDirection(running_, stream_, threadStarted_, forcedEnds_, lock_, kInputTexts);
}

}  // namespace micprobe
