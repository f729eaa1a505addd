#include "network/scorer.h"

#include <cstddef>
#include <limits>

namespace netprobe {
namespace {

// One band of a rule: every value up to and including `upTo` (and above the previous band's edge)
// earns `score`. A rule is its bands in rising order; the last one reaches the type's maximum.
template <typename T>
struct Band {
  T upTo;
  int score;
};

constexpr int kIntMax = std::numeric_limits<int>::max();
constexpr std::uint64_t kU64Max = std::numeric_limits<std::uint64_t>::max();
constexpr double kInfinity = std::numeric_limits<double>::infinity();

// The first band that holds the value decides. A value no band holds (only NaN, since every
// table ends at its type's maximum) scores 0 like any value outside the rule.
template <typename T, std::size_t N>
int ScoreByBands(T value, const Band<T> (&bands)[N]) {
  for (const Band<T>& band : bands) {
    if (value <= band.upTo) {
      return band.score;
    }
  }
  return 0;
}

}  // namespace

int Scorer::ClockSpeed(int mhz) const {
  // Below 1000 MHz is not worth a point.
  static constexpr Band<int> kBands[] = {
      {999, 0}, {1500, 15}, {2000, 25}, {2500, 35}, {3000, 45}, {kIntMax, 50},
  };
  return ScoreByBands(mhz, kBands);
}

int Scorer::Cores(int cores) const {
  static constexpr Band<int> kBands[] = {{2, 10}, {4, 20}, {8, 30}, {kIntMax, 35}};
  return ScoreByBands(cores, kBands);
}

int Scorer::LogicalProcessors(int threads) const {
  static constexpr Band<int> kBands[] = {
      {2, 10}, {4, 15}, {8, 25}, {16, 30}, {kIntMax, 35},
  };
  return ScoreByBands(threads, kBands);
}

int Scorer::L2Cache(int kilobytes) const {
  // Below 128 KB is not worth a point.
  static constexpr Band<int> kBands[] = {
      {127, 0}, {256, 5}, {512, 10}, {768, 15}, {1024, 20}, {2048, 25}, {kIntMax, 30},
  };
  return ScoreByBands(kilobytes, kBands);
}

int Scorer::L3Cache(int kilobytes) const {
  // Below 1 MB (or no L3 at all) is not worth a point.
  static constexpr Band<int> kBands[] = {
      {1023, 0}, {3072, 10}, {5120, 15}, {10240, 20}, {kIntMax, 25},
  };
  return ScoreByBands(kilobytes, kBands);
}

int Scorer::MemorySize(std::uint64_t megabytes) const {
  // Below 512 MB is not worth a point. 64-bit: the sum of several modules can pass 4 GB.
  static constexpr Band<std::uint64_t> kBands[] = {
      {511, 0},    {1024, 5},   {3072, 10},  {6144, 20},    {8192, 25},
      {12288, 30}, {16384, 40}, {32768, 50}, {kU64Max, 60},
  };
  return ScoreByBands(megabytes, kBands);
}

int Scorer::MemoryModules(int modules) const {
  // No module read (or a nonsense negative count) is worth nothing; five or more earn the top.
  static constexpr Band<int> kBands[] = {
      {0, 0}, {1, 15}, {2, 25}, {3, 30}, {4, 40}, {kIntMax, 45},
  };
  return ScoreByBands(modules, kBands);
}

int Scorer::MemorySpeed(int mhz) const {
  // Speeds above 1610 up to 1856 deliberately score 0: the rule leaves that range unrewarded.
  static constexpr Band<int> kBands[] = {
      {265, 0},   {400, 20}, {533, 30},  {800, 40},     {1066, 55},
      {1610, 60}, {1856, 0}, {2666, 70}, {kIntMax, 80},
  };
  return ScoreByBands(mhz, kBands);
}

int Scorer::MemoryOccupancy(int percent) const {
  // Lower is better: a nearly idle memory earns the most.
  static constexpr Band<int> kBands[] = {
      {9, 45},  {19, 40}, {29, 35}, {39, 30}, {49, 25},
      {59, 20}, {69, 15}, {79, 10}, {89, 5},  {kIntMax, 0},
  };
  return ScoreByBands(percent, kBands);
}

int Scorer::DiskSpeed(double winsatRating) const {
  // Edges are exact: 5.0 still scores 0, anything above it 30. NaN falls through every band.
  static constexpr Band<double> kBands[] = {
      {5.0, 0}, {6.0, 30}, {7.0, 50}, {8.0, 70}, {9.0, 90}, {10.0, 110}, {kInfinity, 130},
  };
  return ScoreByBands(winsatRating, kBands);
}

int Scorer::DiskSize(std::uint64_t decimalMegabytes) const {
  // Whole decimal gigabytes, truncated, as the disk sizes are printed on the box.
  const std::uint64_t gigabytes = decimalMegabytes / 1000;
  static constexpr Band<std::uint64_t> kBands[] = {
      {100, 0},   {200, 10},  {300, 15},  {400, 20},  {500, 30},
      {600, 35},  {700, 40},  {800, 45},  {900, 50},  {1000, 55},
      {1500, 60}, {2000, 70}, {3000, 75}, {4000, 80}, {kU64Max, 85},
  };
  return ScoreByBands(gigabytes, kBands);
}

int Scorer::SystemDiskFree(int percent) const {
  static constexpr Band<int> kBands[] = {
      {15, 15}, {25, 25}, {35, 35}, {50, 45}, {kIntMax, 50},
  };
  return ScoreByBands(percent, kBands);
}

int Scorer::HostToRouter(int lost, int averageMs) const {
  // With at most two of ten echo requests lost the delay decides; beyond that only the loss does.
  static constexpr Band<int> kNoLossByDelay[] = {{4, 80}, {9, 70}, {14, 60}, {kIntMax, 50}};
  static constexpr Band<int> kLightLossByDelay[] = {{4, 45}, {9, 40}, {14, 35}, {kIntMax, 30}};
  static constexpr Band<int> kHeavyLoss[] = {{5, 30}, {kIntMax, 20}};
  if (lost <= 0) {
    return ScoreByBands(averageMs, kNoLossByDelay);
  }
  if (lost <= 2) {
    return ScoreByBands(averageMs, kLightLossByDelay);
  }
  return ScoreByBands(lost, kHeavyLoss);
}

int Scorer::LanDevices(int addresses) const {
  // Fewer devices sharing the line is better.
  static constexpr Band<int> kBands[] = {{3, 60}, {6, 40}, {10, 25}, {kIntMax, 15}};
  return ScoreByBands(addresses, kBands);
}

int Scorer::DownloadSpeed(int mbps) const {
  static constexpr Band<int> kBands[] = {
      {0, 0},   {1, 5},    {3, 10},   {7, 15},   {9, 20},    {19, 25},       {49, 35},
      {99, 55}, {199, 65}, {299, 75}, {499, 85}, {999, 105}, {kIntMax, 125},
  };
  return ScoreByBands(mbps, kBands);
}

}  // namespace netprobe
