// The processor probe: recorded machines, the load sampling, and every way a value can fail.
#include <gtest/gtest.h>

#include <climits>
#include <iterator>
#include <string>
#include <vector>

#include "NetProbe.h"
#include "core/start_retry.h"
#include "dll/engine_instance.h"
#include "probe_fixtures.h"
#include "probes/cpu/cpu_load.h"
#include "probes/cpu/cpu_probe.h"
#include "support/fake_machine.h"
#include "support/records.h"
#include "support/testdata.h"

namespace kestrel::test {
namespace {

const std::wstring kName = L"WMIC CPU Get Name";
const std::wstring kClock = L"WMIC CPU Get MaxClockSpeed";
const std::wstring kCores = L"WMIC CPU Get NumberOfCores";
const std::wstring kThreads = L"WMIC CPU Get NumberOfLogicalProcessors";
const std::wstring kL2 = L"WMIC CPU Get L2CacheSize";
const std::wstring kL3 = L"WMIC CPU Get L3CacheSize";
const std::wstring kLoad = L"wmic cpu list full";

// A laptop listing reading 7 percent, and the same listing reading `load` instead.
std::string LoadListing() {
  return ReadFixture("outputs/cpu/en-laptop-list-full-load-7.txt");
}
std::string LoadListing(const std::string& load) {
  return ReplacedOnce(LoadListing(), "LoadPercentage=7\r", "LoadPercentage=" + load + "\r");
}

std::vector<std::wstring> ValueCommandsThenLoads(std::size_t loads) {
  std::vector<std::wstring> calls = {kName, kClock, kCores, kThreads, kL2, kL3};
  calls.insert(calls.end(), loads, kLoad);
  return calls;
}

// Clock, cores, threads, L2 and L3, each followed by its score (see CpuNumbers).
using Numbers = std::vector<int>;

const Numbers kDesktopNumbers = {3192, 50, 6, 30, 12, 30, 1536, 25, 12288, 25};
const Numbers kLaptopNumbers = {1800, 25, 4, 20, 8, 25, 1024, 20, 6144, 20};

TEST(CpuProbeTest, RecordedMachines) {
  struct Case {
    const char* profile;
    const char* name;
    Numbers numbers;
    int utilization;
    std::size_t loadRuns;  // 20 a pass
    std::size_t samples;   // of the last pass
    int code;
    const char* message;
  };
  const Case cases[] = {
      // Loads 12, 0 (dropped), then 25: 462 / 19 = 24.3.
      {"desktop-zh", "Intel(R) Core(TM) i7-8700 CPU @ 3.20GHz", kDesktopNumbers, 24, 20, 19, 0, ""},
      // Loads 7, 9, 0 (dropped), 11, then 8: 155 / 19 = 8.2.
      {"laptop-en", "Intel(R) Core(TM) i5-8250U CPU @ 1.60GHz", kLaptopNumbers, 8, 20, 19, 0, ""},
      {"cpu-no-l3-en", "AMD Athlon(tm) II X2 250 Processor",
       Numbers{3000, 45, 2, 10, 2, 10, 2048, 25, 0, 0}, 3, 20, 20, 12, "解析CPU三级缓存容量失败"},
      {"cpu-idle-en", "Intel(R) Core(TM) i5-8250U CPU @ 1.60GHz", kLaptopNumbers, 0, 80, 0, 0, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.profile);
    FakeMachine machine(c.profile);
    auto engine = machine.MakeEngine();
    ProbeError error;

    EXPECT_EQ(engine->ProbeCpu(&error), 1);
    EXPECT_EQ(engine->records().cpuInfo.cpuName, c.name);
    EXPECT_EQ(CpuNumbers(engine->records().cpuInfo), c.numbers);
    EXPECT_EQ(engine->records().cpuInfo.cpuUtilization, c.utilization);
    EXPECT_EQ(engine->records().cpuLoadSamples.size(), c.samples);
    EXPECT_EQ(error.code, c.code);
    EXPECT_EQ(error.message, c.message);
    EXPECT_EQ(machine.runner.calls(), ValueCommandsThenLoads(c.loadRuns));
    // A pause after each run of a pass but its last.
    EXPECT_EQ(machine.clock.sleeps, std::vector<unsigned>(c.loadRuns / 20 * 19, 480u));
  }
}

TEST(CpuProbeTest, NumberThatDoesNotStartIsReportedAndTheRestIsRead) {
  struct Case {
    const std::wstring* command;
    int code;
    const char* message;
  };
  // In row order: row i fills numbers 2i and 2i+1.
  const Case cases[] = {
      {&kClock, 3, "获取CPU标准频率失败"},   {&kCores, 5, "获取CPU核心数失败"},
      {&kThreads, 7, "获取CPU线程数失败"},   {&kL2, 9, "获取CPU二级缓存容量失败"},
      {&kL3, 11, "获取CPU三级缓存容量失败"},
  };
  for (std::size_t row = 0; row < std::size(cases); ++row) {
    const Case& c = cases[row];
    SCOPED_TRACE(c.code);
    FakeMachine machine("desktop-zh");
    machine.runner.FailToStart(*c.command);
    auto engine = machine.MakeEngine();
    ProbeError error;

    EXPECT_EQ(engine->ProbeCpu(&error), 1);
    EXPECT_EQ(error.code, c.code);
    EXPECT_EQ(error.message, c.message);
    Numbers expected = kDesktopNumbers;
    expected[2 * row] = 0;
    expected[2 * row + 1] = 0;
    EXPECT_EQ(CpuNumbers(engine->records().cpuInfo), expected);
    EXPECT_EQ(engine->records().cpuInfo.cpuUtilization, 24);
  }
}

TEST(CpuProbeTest, LastFailureWins) {
  struct Case {
    const char* profile;
    std::vector<std::wstring> notStarting;
    int code;
  };
  const Case cases[] = {
      {"cpu-no-l3-en", {kClock}, 12},
      {"desktop-zh", {kCores, kL2}, 9},
      {"desktop-zh", {kClock, kCores, kThreads, kL2, kL3}, 11},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.code);
    FakeMachine machine(c.profile);
    for (const std::wstring& command : c.notStarting) {
      machine.runner.FailToStart(command);
    }
    auto engine = machine.MakeEngine();
    ProbeError error;
    EXPECT_EQ(engine->ProbeCpu(&error), 1);
    EXPECT_EQ(error.code, c.code);
  }
}

TEST(CpuProbeTest, NameFailureEndsTheProbeWithAnEmptyRecord) {
  const std::string name = ReadFixture("outputs/cpu/zh-desktop-name.txt");
  const CommandFailure cases[] = {
      {"not started", false, "", 1, "获取CPU名称失败"},
      {"no output", true, "", 2, "解析CPU名称失败"},
      {"header only", true, CutBefore(name, "Intel"), 2, "解析CPU名称失败"},
      {"blank value line", true,
       ReplacedOnce(name, "Intel(R) Core(TM) i7-8700 CPU @ 3.20GHz", std::string(39, ' ')), 2,
       "解析CPU名称失败"},
  };
  for (const CommandFailure& c : cases) {
    SCOPED_TRACE(c.what);
    ScriptedMachine machine("desktop-zh");
    machine.Fail(kName, c);
    auto engine = machine.MakeScriptedEngine();
    SeedRecords(*engine,
                [&](netprobe::ProbeRecords& r) { r.cpuInfo.cpuName = "from an earlier run"; });
    SeedRecords(*engine, [&](netprobe::ProbeRecords& r) { r.cpuInfo.l2CacheSize = 512; });
    SeedRecords(*engine, [&](netprobe::ProbeRecords& r) { r.cpuInfo.cpuUtilization = 40; });
    ProbeError error;

    EXPECT_EQ(engine->ProbeCpu(&error), 0);
    EXPECT_EQ(error.code, c.code);
    EXPECT_EQ(error.message, c.message);
    EXPECT_EQ(engine->records().cpuInfo.cpuName, "");
    EXPECT_EQ(CpuNumbers(engine->records().cpuInfo), Numbers(10, 0));
    EXPECT_EQ(engine->records().cpuInfo.cpuUtilization, 0);
    // Nothing after the name ran; a name listing that does not start is tried again first.
    EXPECT_EQ(machine.runner.calls(),
              c.starts ? std::vector<std::wstring>{} : machine.runner.WithRetries({kName}));
    EXPECT_EQ(machine.clock.sleeps,
              std::vector<unsigned>(c.starts ? 0 : netprobe::kCommandStartAttempts - 1,
                                    netprobe::kCommandRetryPauseMilliseconds));
  }
}

TEST(CpuProbeTest, OddColumnValues) {
  const std::string clock = ReadFixture("outputs/cpu/zh-desktop-maxclockspeed.txt");
  struct Case {
    const char* what;
    std::string output;
    int value;
    int score;
    int code;
  };
  const Case cases[] = {
      // A value without digits reads as 0 and still counts as parsed.
      {"letters", ReplacedOnce(clock, "3192", "Unkn"), 0, 0, 0},
      {"beyond 32 bits", ReplacedOnce(clock, "3192", "99999999999"), INT_MAX, 50, 0},
      {"negative", ReplacedOnce(clock, "3192", "-800"), -800, 0, 0},
      {"stray CR after the value", ReplacedOnce(clock, "3192 ", "3192\r"), 3192, 50, 0},
      {"lines ending in LF only", "MaxClockSpeed  \n3192           \n\n", 0, 0, 4},
      {"header only", CutBefore(clock, "3192"), 0, 0, 4},
      {"empty value line", ReplacedOnce(clock, "3192", "    "), 0, 0, 4},
      {"no output", "", 0, 0, 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ScriptedMachine machine("desktop-zh");
    machine.scripts.Script(kClock, {c.output});
    auto engine = machine.MakeScriptedEngine();
    ProbeError error;

    EXPECT_EQ(engine->ProbeCpu(&error), 1);
    EXPECT_EQ(engine->records().cpuInfo.maxClockSpeed, c.value);
    EXPECT_EQ(engine->records().cpuInfo.maxClockSpeedScore, c.score);
    EXPECT_EQ(error.code, c.code);
    EXPECT_EQ(engine->records().cpuInfo.numberOfCores, 6);  // the rows after it are still read
  }
}

TEST(CpuProbeTest, SamplingPasses) {
  const std::string idle = LoadListing("0");
  struct Case {
    const char* what;
    std::vector<std::string> listings;  // successive runs, the last repeating
    std::size_t runs;
    int utilization;
  };
  std::vector<std::string> idleFirstPass(20, idle);
  idleFirstPass.push_back(LoadListing("9"));
  std::vector<std::string> loadOnLastRun(79, idle);
  loadOnLastRun.push_back(LoadListing("41"));
  const Case cases[] = {
      {"first pass", {LoadListing("5"), idle, LoadListing("7")}, 20, 6},
      {"idle first pass, then busy", idleFirstPass, 40, 9},
      {"one sample in the fourth pass", loadOnLastRun, 80, 41},
      {"listings without a load", {CutBefore(LoadListing(), "LoadPercentage")}, 80, 0},
      {"no output", {""}, 80, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ScriptedMachine machine("laptop-en");
    machine.scripts.Script(kLoad, c.listings);
    auto engine = machine.MakeScriptedEngine();
    ProbeError error;

    EXPECT_EQ(engine->ProbeCpu(&error), 1);
    EXPECT_EQ(machine.scripts.Runs(kLoad), c.runs);
    EXPECT_EQ(engine->records().cpuInfo.cpuUtilization, c.utilization);
    EXPECT_EQ(machine.clock.sleeps, std::vector<unsigned>(c.runs / 20 * 19, 480u));
    EXPECT_EQ(error.code, 0);
  }
}

TEST(CpuProbeTest, LoadListingThatDoesNotStartCostsFourPasses) {
  FakeMachine machine("laptop-en");
  machine.runner.FailToStart(kLoad);
  auto engine = machine.MakeEngine();
  ProbeError error;

  EXPECT_EQ(engine->ProbeCpu(&error), 1);
  EXPECT_EQ(engine->records().cpuInfo.cpuUtilization, 0);
  EXPECT_TRUE(engine->records().cpuLoadSamples.empty());
  EXPECT_EQ(machine.runner.calls(), machine.runner.WithRetries(ValueCommandsThenLoads(80)));
  // The passes' own pauses, and three before the further tries of each of the 80 loads.
  EXPECT_EQ(machine.clock.sleeps.size(), 76u + 80u * (netprobe::kCommandStartAttempts - 1));
  EXPECT_EQ(error.code, 0);  // the load has no failure code of its own
}

TEST(CpuLoadTest, ReadsTheFirstLoadOfAListing) {
  const std::string listing = LoadListing();
  struct Case {
    const char* what;
    std::string text;
    bool found;
    int percent;
  };
  const Case cases[] = {
      {"recorded", listing, true, 7},
      {"two packages", listing + LoadListing("30"), true, 7},
      {"several MB of packages",
       [&] {
         std::string big = listing;
         const std::string other = LoadListing("30");
         for (int i = 0; i < 6000; ++i) {
           big += other;
         }
         return big;
       }(),
       true, 7},
      {"no key", CutBefore(listing, "LoadPercentage"), false, 0},
      {"cut after the key", CutBefore(listing, "7\r\r\nManufacturer"), false, 0},
      {"empty value", LoadListing(""), true, 0},
      {"letters", LoadListing("n/a"), true, 0},
      {"beyond 32 bits", LoadListing("4294967396"), true, INT_MAX},
      {"stray CR", LoadListing("7\r"), true, 7},
      {"blanks", LoadListing("  7  "), true, 7},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    int percent = -1;
    EXPECT_EQ(netprobe::ReadLoadPercentage(c.text, percent), c.found);
    if (c.found) {
      EXPECT_EQ(percent, c.percent);
    }
  }
}

TEST(CpuLoadTest, AveragesThePositiveLoadsTruncated) {
  struct Case {
    std::vector<const char*> loads;  // one listing each
    bool valid;
    int average;
  };
  const Case cases[] = {
      {{"5", "0", "7"}, true, 6},  // the 0 is no sample
      {{"3", "4"}, true, 3},       // 3.5
      {{"99", "100", "100"}, true, 99},
      {{"1"}, true, 1},
      {{"-4", "6"}, true, 6},  // nothing below 1 counts
      {{"0", "0"}, false, 0},
      {{}, false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.loads.size());
    std::vector<double> samples;
    for (const char* load : c.loads) {
      netprobe::AddLoadSample(LoadListing(load), samples);
    }
    int average = -1;
    EXPECT_EQ(netprobe::AverageLoad(samples, average), c.valid);
    if (c.valid) {
      EXPECT_EQ(average, c.average);
    }
  }
}

using CpuExportTest = ExportTest;

TEST_F(CpuExportTest, SecondCallHandsOutTheSameRecordRefilled) {
  InstallMachine("desktop-zh");
  const CpuInfo* first = nullptr;
  ProbeError error;
  ASSERT_EQ(GetCPUInfo(&first, &error), 1);
  ASSERT_EQ(first, &netprobe::Engine()->records().cpuInfo);

  SeedRecords(*netprobe::Engine(), [](netprobe::ProbeRecords& r) {
    r.cpuInfo.cpuName = "stale";
    r.cpuInfo.l3CacheSize = 1;
    r.cpuInfo.cpuUtilization = 99;
    r.cpuLoadSamples.assign(40, 99.0);
  });
  const CpuInfo* second = nullptr;
  ASSERT_EQ(GetCPUInfo(&second, &error), 1);

  EXPECT_EQ(second, first);
  EXPECT_EQ(second->cpuName, "Intel(R) Core(TM) i7-8700 CPU @ 3.20GHz");
  EXPECT_EQ(CpuNumbers(*second), kDesktopNumbers);
  // The profile's load sequence has reached its last recording: 25 on every run.
  EXPECT_EQ(second->cpuUtilization, 25);
  EXPECT_EQ(netprobe::Engine()->records().cpuLoadSamples, std::vector<double>(20, 25.0));
  EXPECT_EQ(error.code, 0);
}

}  // namespace
}  // namespace kestrel::test
