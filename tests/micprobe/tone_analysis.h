// Reading the private sound server's recordings: where the test tone is, and where its level
// steps up. The tone is 1 kHz, half a second at amplitude 6000 and half a second at 12000,
// repeated; recordings are mono 16-bit at 44.1 kHz.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace micprobe::test {

inline constexpr std::size_t kRecordRate = 44100;
inline constexpr std::size_t kBlockSamples = 2048;

// True when every quarter of the block carries the tone (a block with a gap fails).
bool BlockHasTone(const std::int16_t* samples, std::size_t count);

// Index of the first sample from which the tone is heard, or npos.
std::size_t ToneOnset(const std::vector<std::int16_t>& samples, std::size_t from = 0);

struct ToneCoverage {
  std::size_t blocks = 0;            // whole blocks from the onset to the tone's last one
  std::size_t withTone = 0;          // of which carry the tone
  std::size_t onset = 0;             // sample index of the onset
  std::vector<std::size_t> missing;  // numbers of the blocks without the tone
  bool heard = false;
};
// The blocks of `samples` from the tone's onset to its last block with the tone, so that the
// silence after a run counts as no gap.
ToneCoverage CoverageAfterOnset(const std::vector<std::int16_t>& samples);

// Sample indices where the tone's level rises from the low to the high half.
std::vector<std::size_t> RisingSteps(const std::vector<std::int16_t>& samples);

// Samples of a recording file from byte `offset` up to byte `end` (0: to its end).
std::vector<std::int16_t> ReadRecording(const std::string& path, std::uint64_t offset,
                                        std::uint64_t end = 0);

}  // namespace micprobe::test
