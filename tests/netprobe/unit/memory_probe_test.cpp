// The memory probe: the module listing, the occupancy arithmetic and the probe's records.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <string>

#include "NetProbe.h"
#include "dll/engine_instance.h"
#include "probe_fixtures.h"
#include "probes/memory/memory_listing.h"
#include "probes/memory/memory_occupancy.h"
#include "probes/memory/memory_probe.h"
#include "support/fake_machine.h"
#include "support/records.h"
#include "support/testdata.h"

namespace kestrel::test {
namespace {

const std::wstring kModules = L"wmic memorychip list /format";
constexpr std::uint64_t kMegabyte = 1024 * 1024;

std::string Listing(const char* name) {
  return ReadFixture(std::string("outputs/memory/") + name);
}

struct Modules {
  int result;
  std::uint64_t sum;
  int speed;
  int count;
};

void ExpectModules(const std::string& listing, const Modules& expected) {
  MemoryInfo record;
  EXPECT_EQ(netprobe::ParseMemoryModules(listing, record), expected.result);
  EXPECT_EQ(record.memorySumSize, expected.sum);
  EXPECT_EQ(record.speed, expected.speed);
  EXPECT_EQ(record.memoryNumber, expected.count);
}

TEST(MemoryListingTest, RecordedListings) {
  struct Case {
    const char* file;
    Modules modules;
  };
  const Case cases[] = {
      {"zh-desktop-2x8g-2667.txt", {1, 16384, 2666, 2}},
      {"en-laptop-4g-2400-8g-2667.txt", {1, 12288, 2400, 2}},
      {"zh-mixed-2667-3200.txt", {1, 24576, 2666, 2}},
      {"en-3200-2400.txt", {1, 24576, 2400, 2}},
      {"en-zero-module.txt", {1, 8192, 2400, 1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    ExpectModules(Listing(c.file), c.modules);
  }
}

TEST(MemoryListingTest, DamagedListings) {
  const std::string desktop = Listing("zh-desktop-2x8g-2667.txt");
  const std::string single = Listing("en-zero-module.txt");  // one usable 8 GB module
  constexpr std::uint64_t kSaturated = INT64_MAX / kMegabyte;
  struct Case {
    const char* what;
    std::string text;
    Modules modules;
  };
  const Case cases[] = {
      {"no output", "", {0, 0, 0, 0}},
      {"no module", CutBefore(desktop, "BankLabel"), {0, 0, 0, 0}},
      {"cut inside the first capacity", CutBefore(desktop, "934592"), {0, 0, 0, 0}},
      {"cut before the first speed", CutBefore(desktop, "DataWidth"), {1, 8192, 0, 1}},
      {"cut before the second module", CutBefore(desktop, "BANK 2"), {1, 8192, 2666, 1}},
      {"capacity of letters", ReplacedOnce(single, "=8589934592", "=Unknown"), {0, 0, 0, 0}},
      {"capacity below 1 MB", ReplacedOnce(single, "=8589934592", "=1048575"), {0, 0, 0, 0}},
      {"negative capacity",
       ReplacedOnce(desktop, "=8589934592", "=-8589934592"),
       {1, 8192, 2666, 1}},
      {"capacity beyond 64 bits",
       ReplacedOnce(desktop, "=8589934592", "=99999999999999999999999"),
       {1, kSaturated + 8192, 2666, 2}},
      {"speed beyond 32 bits",
       ReplacedOnce(single, "Speed=2400", "Speed=4294967296"),
       {1, 8192, INT_MAX, 1}},
      {"speed of letters", ReplacedOnce(single, "Speed=2400", "Speed=Unknown"), {1, 8192, 0, 1}},
      {"first module without a speed",
       ReplacedOnce(desktop, "Speed=2667", "Speed="),
       {1, 16384, 2666, 2}},
      {"stray CR", ReplacedOnce(single, "=8589934592\r", "=8589934592 \r\r"), {1, 8192, 2400, 1}},
      {"lines ending in LF only", "Capacity=8589934592\nSpeed=2400\n", {0, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ExpectModules(c.text, c.modules);
  }
}

TEST(MemoryListingTest, SeveralMegabytesOfModules) {
  const std::string one = Listing("zh-desktop-2x8g-2667.txt");
  std::string many;
  for (int i = 0; i < 3000; ++i) {
    many += one;
  }
  ASSERT_GT(many.size(), 3u * 1000 * 1000);
  ExpectModules(many, {1, 6000u * 8192, 2666, 6000});
}

TEST(MemoryOccupancyTest, PercentOfTheInstalledSize) {
  struct Case {
    std::uint64_t used;
    std::uint64_t installed;
    int percent;
  };
  const Case cases[] = {
      {12000, 16384, 73},
      {29, 100, 29},  // 0.29f * 100 rounds to 29.0f; in double precision it would read 28
      {0, 16384, 0},
      {16384, 16384, 100},
      {20000, 16384, 122},  // the system may count more than the listing shows
      {8192, 0, 0},         // nothing installed: nothing to divide by
      {UINT64_MAX, 1, INT_MAX},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.used << " of " << c.installed);
    EXPECT_EQ(netprobe::OccupancyPercent(c.used, c.installed), c.percent);
  }
}

TEST(MemoryOccupancyTest, UsedMegabytesFromTheStatus) {
  struct Case {
    std::uint64_t total;
    std::uint64_t available;
    std::uint64_t used;
  };
  const Case cases[] = {
      {16384 * kMegabyte, 4384 * kMegabyte, 12000},
      // Each figure is rounded down to whole megabytes before the subtraction.
      {16384 * kMegabyte + kMegabyte - 1, 4384 * kMegabyte + kMegabyte - 1, 12000},
      {16384 * kMegabyte, 16384 * kMegabyte, 0},
      {8192 * kMegabyte, 9000 * kMegabyte, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.used);
    EXPECT_EQ(netprobe::UsedMegabytes(c.total, c.available), c.used);
  }
}

TEST(MemoryProbeTest, RecordedMachines) {
  struct Case {
    const char* profile;
    MemoryInfo expected;
  };
  // The fake system has 8 GB in use.
  const Case cases[] = {
      {"desktop-zh", {16384, 40, 2666, 70, 50, 20, 2, 25}},
      {"laptop-en", {12288, 30, 2400, 70, 66, 15, 2, 25}},
      {"memory-mixed-zh", {24576, 50, 2666, 70, 33, 30, 2, 25}},
      {"memory-zero-module-en", {8192, 25, 2400, 70, 100, 0, 1, 15}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.profile);
    FakeMachine machine(c.profile);
    auto engine = machine.MakeEngine();
    ProbeError error;

    EXPECT_EQ(engine->ProbeMemory(&error), 1);
    EXPECT_EQ(MemoryNumbers(engine->records().memoryInfo), MemoryNumbers(c.expected));
    EXPECT_EQ(machine.runner.calls(), std::vector<std::wstring>{kModules});
    EXPECT_EQ(error.code, 0);
  }
}

TEST(MemoryProbeTest, OccupancyFromTheSystemsMemoryStatus) {
  struct Case {
    const char* what;
    bool known;
    std::uint64_t totalMegabytes;
    std::uint64_t availableMegabytes;
    int occupancy;
    int score;
  };
  const Case cases[] = {
      {"12,000 MB in use", true, 16264, 4264, 73, 10},
      {"nothing in use", true, 16264, 16264, 0, 45},
      {"more available than total", true, 8000, 9000, 0, 45},
      // Without a status nothing is known to be in use.
      {"status unknown", false, 16264, 4264, 0, 45},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FakeMachine machine("desktop-zh");
    machine.system.memoryKnown = c.known;
    machine.system.totalMemoryBytes = c.totalMegabytes * kMegabyte;
    machine.system.availableMemoryBytes = c.availableMegabytes * kMegabyte;
    auto engine = machine.MakeEngine();
    ProbeError error;

    EXPECT_EQ(engine->ProbeMemory(&error), 1);
    EXPECT_EQ(engine->records().memoryInfo.memoryOccupancy, c.occupancy);
    EXPECT_EQ(engine->records().memoryInfo.memoryOccupancyScore, c.score);
    EXPECT_EQ(engine->records().memoryInfo.memorySumSize, 16384u);
    EXPECT_EQ(error.code, 0);
  }
}

TEST(MemoryProbeTest, FailureLeavesARecordOfZeros) {
  const std::string desktop = Listing("zh-desktop-2x8g-2667.txt");
  const CommandFailure cases[] = {
      {"not started", false, "", 1, "获取内存信息失败"},
      {"no output", true, "", 2, "解析内存信息失败"},
      {"only a zero-capacity module", true, CutBefore(Listing("en-zero-module.txt"), "BANK 1"), 2,
       "解析内存信息失败"},
      {"capacity cut short", true, CutBefore(desktop, "934592"), 2, "解析内存信息失败"},
  };
  for (const CommandFailure& c : cases) {
    SCOPED_TRACE(c.what);
    ScriptedMachine machine("desktop-zh");
    machine.Fail(kModules, c);
    auto engine = machine.MakeScriptedEngine();
    SeedRecords(*engine, [&](netprobe::ProbeRecords& r) {
      r.memoryInfo = MemoryInfo{4096, 10, 1600, 60, 50, 20, 1, 15};
    });  // an earlier run's
    ProbeError error;

    EXPECT_EQ(engine->ProbeMemory(&error), 0);
    EXPECT_EQ(error.code, c.code);
    EXPECT_EQ(error.message, c.message);
    EXPECT_EQ(MemoryNumbers(engine->records().memoryInfo), MemoryNumbers(MemoryInfo{}));
  }
}

using MemoryExportTest = ExportTest;

TEST_F(MemoryExportTest, SecondCallHandsOutTheSameRecordRefilled) {
  FakeMachine& machine = InstallMachine("laptop-en");
  const MemoryInfo* first = nullptr;
  ProbeError error;
  ASSERT_EQ(GetMemoryInfo(&first, &error), 1);
  ASSERT_EQ(first, &netprobe::Engine()->records().memoryInfo);

  SeedRecords(*netprobe::Engine(), [&](netprobe::ProbeRecords& r) {
    r.memoryInfo = MemoryInfo{1, 2, 3, 4, 5, 6, 7, 8};
  });
  machine.system.availableMemoryBytes = machine.system.totalMemoryBytes;  // all freed since
  const MemoryInfo* second = nullptr;
  ASSERT_EQ(GetMemoryInfo(&second, &error), 1);

  EXPECT_EQ(second, first);
  EXPECT_EQ(MemoryNumbers(*second), MemoryNumbers({12288, 30, 2400, 70, 0, 45, 2, 25}));
  EXPECT_EQ(error.code, 0);
}

}  // namespace
}  // namespace kestrel::test
