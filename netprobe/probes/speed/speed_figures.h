// The speed test's figures: texts in MiB/s and Mibit/s, the average and the score, computed from
// what one transfer measured.
#pragma once

#include <cstdint>
#include <string>

#include "NetProbe.h"
#include "network/scorer.h"

namespace netprobe {

enum class SpeedUnit { kMegabytes, kMegabits };

// value / 1024 / 1024 with three decimals and "MB" or "Mbps": 2097152 gives "2.000MB". The decimal
// point is '.' whatever the process locale.
std::string FormatSpeed(double value, SpeedUnit unit);

// What one transfer measured.
struct DownloadMeasurement {
  std::uint64_t bytes = 0;      // on disk at the end
  double elapsedSeconds = 0.0;  // from the first progress sample to the end
  double maxSpeed = 0.0;        // bytes per second, highest sample
  double minSpeed = 0.0;        // bytes per second, lowest positive sample
};

// Bytes per second: bytes / elapsed cut to a whole number, or the byte count itself when no time
// was measured; never above a sampled maximum.
double AverageSpeed(const DownloadMeasurement& measurement);

// The record shown and reported for one measurement.
DownloadSpeedInfo ComputeDownloadSpeed(const DownloadMeasurement& measurement,
                                       const Scorer& scorer);

}  // namespace netprobe
