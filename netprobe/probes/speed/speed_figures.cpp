#include "probes/speed/speed_figures.h"

#include <cstdint>
#include <cstdio>
#include <limits>

namespace netprobe {

namespace {

constexpr double kMebi = 1024.0 * 1024.0;

// Truncates toward zero into a 32-bit int; values beyond its range saturate (a plain cast would
// be undefined there, e.g. above 2 GiB/s on loopback).
int TruncateToInt32(double value) {
  if (!(value > static_cast<double>(std::numeric_limits<std::int32_t>::min()))) {
    return value != value ? 0 : std::numeric_limits<std::int32_t>::min();  // NaN gives 0
  }
  if (value >= static_cast<double>(std::numeric_limits<std::int32_t>::max())) {
    return std::numeric_limits<std::int32_t>::max();
  }
  return static_cast<int>(value);
}

}  // namespace

std::string FormatSpeed(double value, SpeedUnit unit) {
  char digits[64] = {};
  std::snprintf(digits, sizeof(digits), "%.3f", value / kMebi);
  std::string text = digits;
  for (char& c : text) {
    if ((c < '0' || c > '9') && c != '-') {
      c = '.';  // a locale's decimal comma would break the report's numbers
    }
  }
  return text + (unit == SpeedUnit::kMegabytes ? "MB" : "Mbps");
}

double AverageSpeed(const DownloadMeasurement& measurement) {
  const double bytes = static_cast<double>(measurement.bytes);
  double average = measurement.elapsedSeconds > 0.0
                       ? static_cast<double>(TruncateToInt32(bytes / measurement.elapsedSeconds))
                       : bytes;
  // A maximum of 0 means that no sample came in, so there is nothing to cap at.
  if (measurement.maxSpeed > 0.0 && measurement.maxSpeed < average) {
    average = measurement.maxSpeed;
  }
  return average;
}

DownloadSpeedInfo ComputeDownloadSpeed(const DownloadMeasurement& measurement,
                                       const Scorer& scorer) {
  DownloadSpeedInfo info;
  info.maxDownloadSpeed = FormatSpeed(measurement.maxSpeed, SpeedUnit::kMegabytes);
  info.minDownloadSpeed = FormatSpeed(measurement.minSpeed, SpeedUnit::kMegabytes);
  const double average = AverageSpeed(measurement);
  info.avgDownloadSpeed = FormatSpeed(average, SpeedUnit::kMegabytes);
  info.downloadSpeedScore = scorer.DownloadSpeed(TruncateToInt32(average * 8.0 / kMebi));
  info.bandwidthSpeed = FormatSpeed(average * 8.0, SpeedUnit::kMegabits);
  return info;
}

}  // namespace netprobe
