// Every band edge of every scoring rule from both sides (the value at the edge, then one past it),
// plus the inputs a broken probe can hand over: extremes of the type, negatives, NaN.
#include "network/scorer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <vector>

namespace netprobe {
namespace {

constexpr int kIntMin = std::numeric_limits<int>::min();
constexpr int kIntMax = std::numeric_limits<int>::max();
constexpr std::uint64_t kU64Max = std::numeric_limits<std::uint64_t>::max();
constexpr std::uint64_t k4Gi = std::uint64_t{1} << 32;
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

template <typename T>
struct Case {
  T value;
  int score;
};

template <typename T>
void ExpectScores(int (Scorer::*rule)(T) const, const std::vector<Case<T>>& cases) {
  const Scorer scorer;
  for (const Case<T>& c : cases) {
    EXPECT_EQ((scorer.*rule)(c.value), c.score) << "value " << c.value;
  }
}

// The tables keep one band edge per line, so they are laid out by hand.
// clang-format off

TEST(ScorerTest, ClockSpeed) {
  ExpectScores<int>(&Scorer::ClockSpeed, {
      {kIntMin, 0}, {-1, 0}, {0, 0},
      {999, 0},  {1000, 15},
      {1500, 15}, {1501, 25},
      {2000, 25}, {2001, 35},
      {2500, 35}, {2501, 45},
      {3000, 45}, {3001, 50},
      {kIntMax, 50}});
}

TEST(ScorerTest, Cores) {
  ExpectScores<int>(&Scorer::Cores, {
      {kIntMin, 10}, {0, 10},
      {2, 10}, {3, 20},
      {4, 20}, {5, 30},
      {8, 30}, {9, 35},
      {kIntMax, 35}});
}

TEST(ScorerTest, LogicalProcessors) {
  ExpectScores<int>(&Scorer::LogicalProcessors, {
      {kIntMin, 10}, {1, 10},
      {2, 10}, {3, 15},
      {4, 15}, {5, 25},
      {8, 25}, {9, 30},
      {16, 30}, {17, 35},
      {kIntMax, 35}});
}

TEST(ScorerTest, L2Cache) {
  ExpectScores<int>(&Scorer::L2Cache, {
      {kIntMin, 0}, {0, 0},
      {127, 0}, {128, 5},
      {256, 5}, {257, 10},
      {512, 10}, {513, 15},
      {768, 15}, {769, 20},
      {1024, 20}, {1025, 25},
      {2048, 25}, {2049, 30},
      {kIntMax, 30}});
}

TEST(ScorerTest, L3Cache) {
  ExpectScores<int>(&Scorer::L3Cache, {
      {kIntMin, 0}, {0, 0},
      {1023, 0}, {1024, 10},
      {3072, 10}, {3073, 15},
      {5120, 15}, {5121, 20},
      {10240, 20}, {10241, 25},
      {kIntMax, 25}});
}

TEST(ScorerTest, MemorySize) {
  ExpectScores<std::uint64_t>(&Scorer::MemorySize, {
      {0, 0},
      {511, 0}, {512, 5},
      {1024, 5}, {1025, 10},
      {3072, 10}, {3073, 20},
      {6144, 20}, {6145, 25},
      {8192, 25}, {8193, 30},
      {12288, 30}, {12289, 40},
      {16384, 40}, {16385, 50},
      {32768, 50}, {32769, 60},
      // Cut to 32 bits these would fall into the lowest bands.
      {k4Gi + 100, 60}, {k4Gi + 1024, 60},
      {kU64Max, 60}});
}

TEST(ScorerTest, MemoryModules) {
  ExpectScores<int>(&Scorer::MemoryModules, {
      {kIntMin, 0}, {-1, 0},
      {0, 0}, {1, 15},
      {2, 25}, {3, 30}, {4, 40},
      {5, 45}, {6, 45},
      {kIntMax, 45}});
}

TEST(ScorerTest, MemorySpeed) {
  ExpectScores<int>(&Scorer::MemorySpeed, {
      {kIntMin, 0}, {0, 0},
      {265, 0}, {266, 20},
      {400, 20}, {401, 30},
      {533, 30}, {534, 40},
      {800, 40}, {801, 55},
      {1066, 55}, {1067, 60},
      {1600, 60},
      // The range between the two fast bands earns nothing.
      {1610, 60}, {1611, 0},
      {1700, 0},
      {1856, 0}, {1857, 70},
      {2133, 70},
      {2666, 70}, {2667, 80},
      {kIntMax, 80}});
}

TEST(ScorerTest, MemoryOccupancy) {
  ExpectScores<int>(&Scorer::MemoryOccupancy, {
      {kIntMin, 45}, {0, 45},
      {9, 45}, {10, 40},
      {19, 40}, {20, 35},
      {29, 35}, {30, 30},
      {39, 30}, {40, 25},
      {49, 25}, {50, 20},
      {59, 20}, {60, 15},
      {69, 15}, {70, 10},
      {79, 10}, {80, 5},
      {89, 5}, {90, 0},
      {100, 0}, {kIntMax, 0}});
}

TEST(ScorerTest, DiskSpeed) {
  ExpectScores<double>(&Scorer::DiskSpeed, {
      {-kInf, 0}, {std::numeric_limits<double>::lowest(), 0}, {-1.0, 0}, {-0.0, 0}, {0.0, 0},
      {5.0, 0}, {5.0000001, 30}, {5.1, 30},
      {6.0, 30}, {6.0000001, 50},
      {7.0, 50}, {7.0000001, 70},
      {8.0, 70}, {8.0000001, 90},
      {9.0, 90}, {9.0000001, 110}, {9.9, 110},
      {10.0, 110}, {10.0000001, 130},
      {std::numeric_limits<double>::max(), 130}, {kInf, 130},
      {kNaN, 0}, {-kNaN, 0}});
}

TEST(ScorerTest, DiskSizeCountsWholeDecimalGigabytes) {
  // 100999 MB is still 100 GB.
  ExpectScores<std::uint64_t>(&Scorer::DiskSize, {
      {0, 0},
      {100999, 0}, {101000, 10},
      {200999, 10}, {201000, 15},
      {256060, 15},
      {300999, 15}, {301000, 20},
      {400999, 20}, {401000, 30},
      {500999, 30}, {501000, 35},
      {600999, 35}, {601000, 40},
      {700999, 40}, {701000, 45},
      {800999, 45}, {801000, 50},
      {900999, 50}, {901000, 55},
      {1000000, 55}, {1000999, 55}, {1001000, 60},
      {1500999, 60}, {1501000, 70},
      {2000999, 70}, {2001000, 75},
      {3000999, 75}, {3001000, 80},
      {4000999, 80}, {4001000, 85},
      // Cut to 32 bits this would be 0 MB.
      {k4Gi, 85},
      {kU64Max, 85}});
}

TEST(ScorerTest, SystemDiskFree) {
  ExpectScores<int>(&Scorer::SystemDiskFree, {
      {kIntMin, 15}, {0, 15},
      {15, 15}, {16, 25},
      {25, 25}, {26, 35},
      {35, 35}, {36, 45},
      {50, 45}, {51, 50},
      {100, 50}, {kIntMax, 50}});
}

TEST(ScorerTest, LanDevices) {
  ExpectScores<int>(&Scorer::LanDevices, {
      {kIntMin, 60}, {0, 60},
      {3, 60}, {4, 40},
      {6, 40}, {7, 25},
      {10, 25}, {11, 15},
      {254, 15}, {kIntMax, 15}});
}

TEST(ScorerTest, DownloadSpeed) {
  ExpectScores<int>(&Scorer::DownloadSpeed, {
      {kIntMin, 0}, {-1, 0},
      {0, 0}, {1, 5},
      {2, 10},
      {3, 10}, {4, 15},
      {7, 15}, {8, 20},
      {9, 20}, {10, 25},
      {19, 25}, {20, 35},
      {49, 35}, {50, 55},
      {99, 55}, {100, 65},
      {199, 65}, {200, 75},
      {299, 75}, {300, 85},
      {499, 85}, {500, 105},
      {999, 105}, {1000, 125},
      {kIntMax, 125}});
}

struct RouterCase {
  int lost;
  int averageMs;
  int score;
};

TEST(ScorerTest, HostToRouter) {
  const std::vector<RouterCase> cases = {
      // No loss: the delay decides.
      {kIntMin, 0, 80}, {-1, 4, 80},
      {0, kIntMin, 80}, {0, 0, 80},
      {0, 4, 80}, {0, 5, 70},
      {0, 9, 70}, {0, 10, 60},
      {0, 14, 60}, {0, 15, 50},
      {0, kIntMax, 50}, {kIntMin, kIntMax, 50},
      // One or two lost: the same delay edges, lower scores.
      {1, kIntMin, 45},
      {1, 4, 45}, {1, 5, 40},
      {1, 9, 40}, {1, 10, 35},
      {1, 12, 35},
      {2, 14, 35}, {2, 15, 30},
      {2, kIntMax, 30},
      // Three to five lost: the delay no longer matters.
      {3, 0, 30}, {4, 1, 30}, {4, kIntMax, 30}, {5, kIntMin, 30},
      // Six or more lost.
      {6, 0, 20}, {7, 100, 20}, {10, 0, 20}, {kIntMax, kIntMin, 20},
  };
  const Scorer scorer;
  for (const RouterCase& c : cases) {
    EXPECT_EQ(scorer.HostToRouter(c.lost, c.averageMs), c.score)
        << "lost " << c.lost << ", average " << c.averageMs;
  }
}

// clang-format on

}  // namespace
}  // namespace netprobe
