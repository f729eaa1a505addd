#include "tone_analysis.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>

namespace micprobe::test {

namespace {

// Well below the low half's RMS (4243) and far above silence.
constexpr double kToneRms = 2000.0;
// The level between the two halves' peaks (6000 and 12000), and a window of one period.
constexpr int kStepLevel = 9000;
constexpr std::size_t kPeriod = 45;
// A step counts only after this long at the low level, so that a glitch is no step.
constexpr std::size_t kLowBefore = kRecordRate / 10;

double Rms(const std::int16_t* samples, std::size_t count) {
  double sum = 0.0;
  for (std::size_t i = 0; i < count; ++i) {
    const double value = samples[i];
    sum += value * value;
  }
  return count == 0 ? 0.0 : std::sqrt(sum / static_cast<double>(count));
}

int PeakOf(const std::vector<std::int16_t>& samples, std::size_t at) {
  int peak = 0;
  const std::size_t end = std::min(samples.size(), at + kPeriod);
  for (std::size_t i = at; i < end; ++i) {
    peak = std::max(peak, std::abs(int{samples[i]}));
  }
  return peak;
}

}  // namespace

bool BlockHasTone(const std::int16_t* samples, std::size_t count) {
  const std::size_t quarter = count / 4;
  for (std::size_t q = 0; q < 4; ++q) {
    if (Rms(samples + q * quarter, quarter) < kToneRms) {
      return false;
    }
  }
  return count >= 4;
}

std::size_t ToneOnset(const std::vector<std::int16_t>& samples, std::size_t from) {
  for (std::size_t i = from; i + kPeriod <= samples.size(); i += kPeriod) {
    if (Rms(samples.data() + i, kPeriod) >= kToneRms) {
      return i;
    }
  }
  return std::string::npos;
}

ToneCoverage CoverageAfterOnset(const std::vector<std::int16_t>& samples) {
  ToneCoverage coverage;
  const std::size_t onset = ToneOnset(samples);
  if (onset == std::string::npos) {
    return coverage;
  }
  coverage.heard = true;
  coverage.onset = onset;
  std::size_t lastWithTone = 0;  // blocks up to and including the last one with the tone
  for (std::size_t at = onset; at + kBlockSamples <= samples.size(); at += kBlockSamples) {
    ++coverage.blocks;
    if (BlockHasTone(samples.data() + at, kBlockSamples)) {
      ++coverage.withTone;
      lastWithTone = coverage.blocks;
    } else {
      coverage.missing.push_back(coverage.blocks - 1);
    }
  }
  // What follows the tone's last block is the silence after the run.
  coverage.blocks = lastWithTone;
  while (!coverage.missing.empty() && coverage.missing.back() >= lastWithTone) {
    coverage.missing.pop_back();
  }
  return coverage;
}

std::vector<std::size_t> RisingSteps(const std::vector<std::int16_t>& samples) {
  std::vector<std::size_t> steps;
  std::size_t lowFor = 0;
  for (std::size_t at = 0; at + kPeriod <= samples.size(); at += kPeriod) {
    const int peak = PeakOf(samples, at);
    if (peak >= kStepLevel) {
      if (lowFor >= kLowBefore) {
        // Refine to the first sample of the window that reaches the level.
        std::size_t first = at;
        while (first < at + kPeriod && std::abs(int{samples[first]}) < kStepLevel) {
          ++first;
        }
        steps.push_back(first);
      }
      lowFor = 0;
    } else if (peak >= kStepLevel / 3) {
      lowFor += kPeriod;
    } else {
      lowFor = 0;  // silence is not the low half
    }
  }
  return steps;
}

std::vector<std::int16_t> ReadRecording(const std::string& path, std::uint64_t offset,
                                        std::uint64_t end) {
  std::vector<std::int16_t> samples;
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    return samples;
  }
  file.seekg(0, std::ios::end);
  const auto size = static_cast<std::uint64_t>(file.tellg());
  const std::uint64_t last = (end == 0 || end > size) ? size : end;
  offset &= ~std::uint64_t{1};
  if (offset >= last) {
    return samples;
  }
  samples.resize(static_cast<std::size_t>((last - offset) / 2));
  file.seekg(static_cast<std::streamoff>(offset));
  file.read(reinterpret_cast<char*>(samples.data()),
            static_cast<std::streamsize>(samples.size() * 2));
  samples.resize(static_cast<std::size_t>(file.gcount() / 2));
  return samples;
}

}  // namespace micprobe::test
