// What the Wine tests of the real MicProbe.dll share: the sound server's recordings, the
// process's thread and handle counts, a clock, and the blocks the waveform callback receives.
#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace micprobe::test {

// The folder of the private sound server (KESTREL_PULSE_DIR), empty when none is set.
std::string PulseDir();
// Size in bytes of a file, 0 when it does not exist.
std::uint64_t FileSize(const std::string& path);
// Threads of this process, and a figure that grows with every handle it keeps open.
int ThreadCount();
int HandleCount();
// Milliseconds on a monotonic clock.
double NowMs();
// Polls `done` until it holds or `limitMs` have passed; whether it held. Threads that end after
// a stop are awaited this way, with a limit no loaded machine reaches, instead of a fixed pause.
bool WaitUntil(const std::function<bool()>& done, double limitMs);

// Watches how long this process goes without the CPU: a thread of the process's priority
// wakes every millisecond or so and keeps every gap between two wakes longer than `minimumMs`.
// A gap is a time the audio threads, which Wine runs at that same priority, could not run
// either.
class StallWatch {
 public:
  explicit StallWatch(double minimumMs);
  ~StallWatch();
  StallWatch(const StallWatch&) = delete;
  StallWatch& operator=(const StallWatch&) = delete;
  // Ends the watch; the gaps in milliseconds, in order.
  std::vector<double> Stop();

 private:
  struct State;
  State* state_;
};

// The threads that start after it is made, as the engine's start makes them: Open takes a
// handle to each one that has appeared since, ForcedEnds counts those that ended with the
// code the engine's forced end gives them (1; a thread that ends itself returns 0).
class NewThreads {
 public:
  NewThreads();
  ~NewThreads();
  NewThreads(const NewThreads&) = delete;
  NewThreads& operator=(const NewThreads&) = delete;
  void Open();
  int ForcedEnds() const;
  std::size_t Opened() const { return handles_.size(); }

 private:
  std::vector<unsigned long> before_;
  std::vector<void*> handles_;
};

// Collects what the capture thread hands the waveform callback.
struct BlockLog {
  std::mutex lock;
  std::vector<double> times;                // arrival of each block
  std::vector<int> counts;                  // sample count of each block
  std::vector<std::uint64_t> speakerBytes;  // the speaker recording's size at each arrival
  std::vector<std::int16_t> firstBlock;     // samples of the first block with the tone
  std::string speakerPath;                  // recording whose size is noted, empty for none

  static int Callback(short* samples, int count, void* context);
  std::size_t Size();
};

}  // namespace micprobe::test
