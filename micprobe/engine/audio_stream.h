// The sound devices the loop-back engine records from and plays to, each seen as a stream of
// fixed blocks with a thread of its own on which finished blocks come back. The platform side
// (winmm in wave_win32.cpp; fakes in tests) owns the blocks, their headers and the thread; the
// engine only sees each block's samples.
#pragma once

#include <cstdint>

#include "engine/buffer.h"

namespace micprobe {

// PCM, mono, 16-bit at 44.1 kHz, in blocks of 2,048 samples.
struct WaveFormat {
  std::uint16_t formatTag = 1;
  std::uint16_t channels = 1;
  std::uint32_t samplesPerSecond = 44100;
  std::uint32_t averageBytesPerSecond = 88200;
  std::uint16_t blockAlign = 2;
  std::uint16_t bitsPerSample = 16;
  std::uint16_t extraSize = 0;
  std::uint32_t samplesPerBlock = 2048;

  std::uint32_t BlockBytes() const { return std::uint32_t{blockAlign} * samplesPerBlock; }
};

// A step inside a stream that failed; the engine keeps the text it gives each direction.
enum class StreamFault {
  kOutOfMemory,  // a block could not be allocated
  kPrepare,      // a block could not be made ready for the device
  kQueue,        // the device refused a ready block
  kUnprepare,    // a finished block could not be taken back from the device
};

// What a stream hands its owner. OnBlock and OnFault run on the stream's thread (OnFault also
// on the caller's, during Start); FillFirst runs on the caller's thread during Start.
class IStreamClient {
 public:
  // Capture: `block` holds a recorded block. Render: `block` has been played and takes what
  // plays next (its length may shrink). True keeps the block going (recording or playing it
  // again); false gives it up, one block fewer in flight.
  virtual bool OnBlock(CBuffer& block) = 0;
  // Render only: the content of a fresh block (silence) before it is first played.
  virtual void FillFirst(CBuffer& /*block*/) {}
  virtual void OnFault(StreamFault fault) = 0;

 protected:
  ~IStreamClient() = default;
};

// One direction of the system's default sound device.
class IAudioStream {
 public:
  enum class OpenResult {
    kOpened,
    kNoThread,  // the stream's thread could not be started; nothing is open
    kNoDevice,  // the device would not open; the thread has ended again
  };
  struct StopResult {
    bool reset = false;   // the device gave back every block; when false nothing else was done
    bool closed = false;  // the device closed
    bool threadEndedItself = true;  // false when the thread had to be ended by force
  };

  virtual ~IAudioStream() = default;
  // Starts the stream's thread and opens the default device with `format`; from then on every
  // block the device finishes goes to `client` on that thread.
  virtual OpenResult Open(const WaveFormat& format, IStreamClient& client) = 0;
  // Hands the open device `blocks` fresh blocks (render: each filled by the client first) and
  // lets it run. A block that fails is reported and left out; false when the device would not
  // start (the blocks stay with it until Stop).
  virtual bool Start(int blocks) = 0;
  // Ends the run: no block is queued again, the device gives every block back (freed without
  // reaching the client) and closes, and the thread ends within a bounded wait or by force.
  virtual StopResult Stop() = 0;
  // Blocks the device holds or the thread is handling.
  virtual int BlocksInFlight() const = 0;
};

// The engine's waits, so that tests need not sleep.
class IClock {
 public:
  virtual ~IClock() = default;
  virtual void SleepMs(int milliseconds) = 0;
};

}  // namespace micprobe
