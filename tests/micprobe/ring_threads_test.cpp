// The ring between a capture thread and a playback thread running flat out, each block marked
// with its sequence number, so that a torn copy, a slot out of turn or a lost inversion shows.
// Built natively under ThreadSanitizer, which reports any unguarded access of the two threads.
#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "engine/pipe.h"
#include "fakes.h"

namespace micprobe::test {
namespace {

// Small blocks keep the run to seconds; the ring copies whatever length a block has.
constexpr int kSamples = 16;
constexpr std::uint32_t kBytes = kSamples * 2;
using Samples = std::array<std::int16_t, kSamples>;

// Extremes first (-32768 has no positive twin), then the sequence number, low and high halves.
Samples MarkedBlock(std::uint32_t sequence) {
  Samples s{};
  s[0] = INT16_MIN;
  s[1] = INT16_MAX;
  s[2] = 0;
  s[3] = -1;
  for (int i = 4; i < kSamples; i += 2) {
    s[i] = static_cast<std::int16_t>(sequence & 0xFFFF);
    s[i + 1] = static_cast<std::int16_t>(sequence >> 16);
  }
  return s;
}

Samples Inverted(Samples s) {
  for (auto& sample : s) {
    sample = sample == INT16_MIN ? sample : static_cast<std::int16_t>(-sample);
  }
  return s;
}

// Undoes the inversion and reads the sequence number; -1 when the halves disagree (torn).
std::int64_t SequenceOf(const Samples& played) {
  const Samples s = Inverted(played);
  const std::uint32_t first =
      static_cast<std::uint16_t>(s[4]) | std::uint32_t{static_cast<std::uint16_t>(s[5])} << 16;
  if (Inverted(MarkedBlock(first)) != played) {
    return -1;
  }
  return first;
}

// Reaches the indices the two callbacks move.
class RingPipe : public CPipe {
 public:
  using CPipe::CPipe;
  int ReadIndex() const { return readIndex_; }
  int WriteIndex() const { return writeIndex_; }
};

std::uint32_t BlockCount() {
  const char* text = std::getenv("KESTREL_RING_BLOCKS");
  return text != nullptr ? static_cast<std::uint32_t>(std::strtoul(text, nullptr, 10))
                         : 10'000'000U;
}

struct Faults {
  std::uint64_t torn = 0, wrongSlot = 0, slotWentBack = 0, fromFuture = 0, refusedWhenFull = 0;
  std::uint64_t changedWhenRefused = 0, wrongLength = 0;
};

TEST(RingThreads, CaptureAndPlaybackAtFullSpeedKeepEveryBlockWholeAndInTurn) {
  FakeWaveIn waveIn;
  FakeWaveOut waveOut;
  RingPipe pipe(waveIn, waveOut);
  ASSERT_TRUE(pipe.StartCapture());  // fresh slots; the fake input has no thread of its own
  pipe.SetLoopbackActive(true);

  const std::uint32_t blocks = BlockCount();
  std::atomic<std::uint32_t> stored{0};
  std::atomic<bool> captureDone{false};

  std::thread capture([&] {
    Samples samples{};
    CBuffer block(samples.data(), kBytes);
    for (std::uint32_t sequence = 0; sequence < blocks; ++sequence) {
      samples = MarkedBlock(sequence);
      pipe.StoreCapturedBlock(block);
      stored.store(sequence + 1, std::memory_order_release);
    }
    captureDone.store(true, std::memory_order_release);
  });

  Faults faults;
  std::uint64_t supplied = 0;
  std::array<std::int64_t, kRingSlots> lastInSlot;
  lastInSlot.fill(-1);
  std::thread playback([&] {
    const Samples untouched = MarkedBlock(0xFFFFFFFF);
    Samples samples{};
    CBuffer block(samples.data(), kBytes);
    while (true) {
      const bool last = captureDone.load(std::memory_order_acquire);
      const std::uint32_t before = stored.load(std::memory_order_acquire);
      samples = untouched;
      block.length = kBytes;
      if (!pipe.SupplyBlock(block)) {
        faults.refusedWhenFull += before >= kRingSlots ? 1 : 0;
        faults.changedWhenRefused += samples != untouched || block.length != kBytes ? 1 : 0;
      } else {
        // What the output does to every block it plays.
        InvertSamples(reinterpret_cast<char*>(samples.data()), block.length);
        // The block numbered n is stored after the count reached n, and its slot copied under
        // the lock it released, so the count read now is at least n.
        const std::uint32_t after = stored.load(std::memory_order_acquire);
        const int slot = static_cast<int>(supplied % kRingSlots);
        const std::int64_t sequence = SequenceOf(samples);
        faults.wrongLength += block.length != kBytes ? 1 : 0;
        if (sequence < 0) {
          ++faults.torn;
        } else {
          faults.wrongSlot += sequence % kRingSlots != slot ? 1 : 0;
          faults.slotWentBack += sequence < lastInSlot[slot] ? 1 : 0;
          faults.fromFuture += sequence > after ? 1 : 0;
          lastInSlot[slot] = sequence;
        }
        ++supplied;
      }
      if (last) {
        break;
      }
    }
  });
  capture.join();
  playback.join();

  EXPECT_EQ(faults.torn, 0U);
  EXPECT_EQ(faults.wrongSlot, 0U);
  EXPECT_EQ(faults.slotWentBack, 0U);
  EXPECT_EQ(faults.fromFuture, 0U);
  EXPECT_EQ(faults.refusedWhenFull, 0U);
  EXPECT_EQ(faults.changedWhenRefused, 0U);
  EXPECT_EQ(faults.wrongLength, 0U);
  EXPECT_GT(supplied, 0U);
  EXPECT_EQ(pipe.WriteIndex(), static_cast<int>(blocks % kRingSlots));
  EXPECT_EQ(pipe.ReadIndex(), static_cast<int>(supplied % kRingSlots));
  pipe.StopCapture();
}

}  // namespace
}  // namespace micprobe::test
