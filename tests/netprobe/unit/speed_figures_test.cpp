// The speed test's texts, average and score from one measurement.
#include <gtest/gtest.h>

#include <string>

#include "probes/speed/speed_figures.h"

namespace kestrel::test {
namespace {

using netprobe::DownloadMeasurement;
using netprobe::FormatSpeed;
using netprobe::SpeedUnit;

constexpr double kMiB = 1024.0 * 1024.0;

TEST(FormatSpeed, PrintsMebiUnitsWithThreeDecimals) {
  struct Case {
    double value;
    SpeedUnit unit;
    const char* text;
  };
  const Case cases[] = {
      {2.0 * kMiB, SpeedUnit::kMegabytes, "2.000MB"},
      {16.0 * kMiB, SpeedUnit::kMegabits, "16.000Mbps"},
      {10000000.0, SpeedUnit::kMegabytes, "9.537MB"},  // the minimum before any sample
      {0.0, SpeedUnit::kMegabytes, "0.000MB"},
      {0.0, SpeedUnit::kMegabits, "0.000Mbps"},
      {2.345 * kMiB, SpeedUnit::kMegabytes, "2.345MB"},
      {1.0, SpeedUnit::kMegabytes, "0.000MB"},
      {1000.0 * kMiB, SpeedUnit::kMegabits, "1000.000Mbps"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FormatSpeed(c.value, c.unit), c.text) << c.value;
  }
}

TEST(ComputeDownloadSpeed, AveragesBandwidthAndScore) {
  struct Case {
    const char* name;
    DownloadMeasurement measurement;
    const char* max;
    const char* min;
    const char* average;
    const char* bandwidth;
    int score;
  };
  const Case cases[] = {
      {"8 MiB in 4 s",
       {8 * 1048576ULL, 4.0, 3.0 * kMiB, 1.0 * kMiB},
       "3.000MB",
       "1.000MB",
       "2.000MB",
       "16.000Mbps",
       25},
      {"average above the highest sample shows the sample",
       {8 * 1048576ULL, 2.0, 3.0 * kMiB, 1.0 * kMiB},
       "3.000MB",
       "1.000MB",
       "3.000MB",
       "24.000Mbps",
       35},
      {"no positive sample keeps the initial minimum",
       {0, 20.0, 0.0, 10000000.0},
       "0.000MB",
       "9.537MB",
       "0.000MB",
       "0.000Mbps",
       0},
      {"no time measured: the file size itself",
       {3 * 1048576ULL, 0.0, 0.0, 10000000.0},
       "0.000MB",
       "9.537MB",
       "3.000MB",
       "24.000Mbps",
       35},
      {"below 1 Mbps scores 0",
       {130000, 1.0, kMiB, 1.0},
       "1.000MB",
       "0.000MB",
       "0.124MB",
       "0.992Mbps",
       0},
      {"exactly 1 Mbps scores 5",
       {131072, 1.0, kMiB, 1.0},
       "1.000MB",
       "0.000MB",
       "0.125MB",
       "1.000Mbps",
       5},
      // 262143.5 B/s is cut to 262143, just under 2 Mbps: shown rounded, scored as 1.
      {"cut to whole bytes and whole Mbps",
       {524287, 2.0, kMiB, 1.0},
       "1.000MB",
       "0.000MB",
       "0.250MB",
       "2.000Mbps",
       5},
      {"1000 Mbps scores 125",
       {125 * 1048576ULL, 1.0, 200.0 * kMiB, 1.0},
       "200.000MB",
       "0.000MB",
       "125.000MB",
       "1000.000Mbps",
       125},
      // Beyond 2 GiB/s the 32-bit average saturates instead of being undefined.
      {"loopback beyond 2 GiB/s",
       {64ULL << 30, 1.0, 1e12, 1.0},
       "953674.316MB",
       "0.000MB",
       "2048.000MB",
       "16384.000Mbps",
       125},
  };
  const netprobe::Scorer scorer;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const DownloadSpeedInfo info = netprobe::ComputeDownloadSpeed(c.measurement, scorer);
    EXPECT_EQ(info.maxDownloadSpeed, c.max);
    EXPECT_EQ(info.minDownloadSpeed, c.min);
    EXPECT_EQ(info.avgDownloadSpeed, c.average);
    EXPECT_EQ(info.bandwidthSpeed, c.bandwidth);
    EXPECT_EQ(info.downloadSpeedScore, c.score);
  }
}

}  // namespace
}  // namespace kestrel::test
