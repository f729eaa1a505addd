// The wave devices the loop-back engine records from and plays to, each with a message thread
// of its own on which the device's completed blocks arrive. winmm is one implementation
// (wave_win32.cpp); tests drive fakes.
#pragma once

#include <cstdint>

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

// One queued block: its data and room for the platform's own header, allocated together. The
// data belongs to the block from the time it is queued until the block is released.
struct WaveBlock {
  char* data = nullptr;
  std::uint32_t length = 0;
  alignas(8) unsigned char platform[64] = {};
};

// Called on the device's thread for each block the device hands back.
using BlockHandler = void (*)(WaveBlock* block, void* context);

// A device's message thread.
class IWaveThread {
 public:
  virtual ~IWaveThread() = default;
  // Creates the thread; it runs until a quit arrives, passing each completed block to handler.
  virtual bool StartThread(BlockHandler handler, void* context) = 0;
  virtual void PostQuit() = 0;
  // True while the thread has not yet ended.
  virtual bool ThreadActive() = 0;
  virtual void TerminateThread() = 0;
  // Forgets the ended thread.
  virtual void CloseThread() = 0;
};

class IWaveIn : public IWaveThread {
 public:
  // Opens the default capture device, completions going to this device's thread.
  virtual bool Open(const WaveFormat& format) = 0;
  virtual bool Prepare(WaveBlock* block) = 0;
  virtual bool Add(WaveBlock* block) = 0;
  virtual bool Start() = 0;
  virtual bool Unprepare(WaveBlock* block) = 0;
  virtual bool Reset() = 0;
  virtual bool Close() = 0;
};

class IWaveOut : public IWaveThread {
 public:
  // Opens the default render device, completions going to this device's thread.
  virtual bool Open(const WaveFormat& format) = 0;
  virtual bool Prepare(WaveBlock* block) = 0;
  virtual bool Write(WaveBlock* block) = 0;
  virtual bool Unprepare(WaveBlock* block) = 0;
  virtual bool Reset() = 0;
  virtual bool Close() = 0;
};

// The engine's waits, so that tests need not sleep.
class IClock {
 public:
  virtual ~IClock() = default;
  virtual void SleepMs(int milliseconds) = 0;
};

}  // namespace micprobe
