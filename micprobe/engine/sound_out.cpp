#include "engine/sound_out.h"

#include <cstring>

#include "core/engine_error.h"
#include "core/messages.h"
#include "engine/stream_end.h"

namespace micprobe {

namespace {

// A block the device would not play is dropped without a text; an unprepare that fails leaves
// the block to the device (the stream does not free it). A failed reset or close has no text.
const DirectionTexts kOutputTexts{
    text::kOutOfMemory, text::kPrepareOutput, nullptr, text::kUnprepareOutput, nullptr, nullptr};

}  // namespace

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

CSoundOut::CSoundOut(IAudioStream& stream)
    : lock_(std::make_unique<std::mutex>()), stream_(stream) {}

CSoundOut::~CSoundOut() {
  if (open_) {
    Stop();
  }
  EndStream(stream_, threadStarted_, forcedEnds_, lock_);
}

bool CSoundOut::Start(const WaveFormat& format) {
  if (threadStarted_ || open_ || source_ == nullptr) {
    return false;
  }
  format_ = format;
  std::lock_guard<std::mutex> hold(*lock_);
  switch (stream_.Open(format_, *this)) {
    case IAudioStream::OpenResult::kNoThread:
      return false;
    case IAudioStream::OpenResult::kNoDevice:
      RecordEngineError(text::kOpenSpeaker);
      return false;
    case IAudioStream::OpenResult::kOpened:
      break;
  }
  threadStarted_ = true;
  open_ = true;
  // Played as soon as they are written: there is no separate start to fail.
  stream_.Start(kPrimedBlocks);
  return true;
}

void CSoundOut::FillFirst(CBuffer& block) {
  // Fresh blocks are silence; while the loop-back is off nothing replaces it. The source's
  // answer is not looked at: the block plays either way.
  source_->SupplyBlock(block);
  InvertSamples(block.data, block.length);
}

bool CSoundOut::OnBlock(CBuffer& block) {
  {
    std::lock_guard<std::mutex> hold(*lock_);
    if (!open_) {
      return false;
    }
  }
  block.length = format_.BlockBytes();
  if (!source_->SupplyBlock(block) || block.length == 0) {
    // The slot to play has not been filled yet: the recording has not caught up with the
    // playback, as at the start on a busy PC when the first captured blocks are late. The
    // block plays silence, as the primed ones did, and stays in flight, so that the echo starts
    // as soon as the slot fills; giving it up would leave a gap after every later block.
    block.length = format_.BlockBytes();
    std::memset(block.data, 0, block.length);
  }
  InvertSamples(block.data, block.length);
  return true;
}

void CSoundOut::OnFault(StreamFault fault) {
  RecordStreamFault(kOutputTexts, fault);
}

bool CSoundOut::Stop() {
  return StopDirection(open_, stream_, threadStarted_, forcedEnds_, lock_, kOutputTexts);
}

}  // namespace micprobe
