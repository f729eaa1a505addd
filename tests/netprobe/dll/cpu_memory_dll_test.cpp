// GetCPUInfo and GetMemoryInfo of the real NetProbe.dll, with simulated wmic answering from the
// machine profile of this locale; and a ProbeError that the DLL filled, handled by this program.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "NetProbe.h"
#include "support/offline_export.h"
#include "support/records.h"
#include "support/simulated_machine.h"

namespace kestrel::test {
namespace {

// What one locale's machine answers.
struct LocaleMachine {
  const char* profile;
  const char* cpuName;
  std::vector<int> cpu;  // clock, cores, threads, L2, L3, each followed by its score
  int utilization;
  MemoryInfo memory;  // occupancy and its score aside: they follow the real machine's memory
};

const LocaleMachine& ThisLocale() {
  static const LocaleMachine chinese = {"desktop-zh",
                                        "Intel(R) Core(TM) i7-8700 CPU @ 3.20GHz",
                                        {3192, 50, 6, 30, 12, 30, 1536, 25, 12288, 25},
                                        24,
                                        {16384, 40, 2666, 70, 0, 0, 2, 25}};
  static const LocaleMachine english = {"laptop-en",
                                        "Intel(R) Core(TM) i5-8250U CPU @ 1.60GHz",
                                        {1800, 25, 4, 20, 8, 25, 1024, 20, 6144, 20},
                                        8,
                                        {12288, 30, 2400, 70, 0, 0, 2, 25}};
  return ChineseSystem() ? chinese : english;
}

// The simulated ping's log entry for the first presence-check host, which answers online.
const std::string kPing = PresencePings(1).front();

// Pays the real half-second pauses of one sampling pass: about ten seconds.
TEST(CpuMemoryDllTest, CpuOfThisLocalesMachineThenOffline) {
  const LocaleMachine& expected = ThisLocale();
  const CpuInfo* info = nullptr;
  {
    SimulatedMachine machine(expected.profile);
    ProbeError error;
    ASSERT_EQ(GetCPUInfo(&info, &error), 1) << error.code << machine.Transcript();
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(error.code, 0);
    EXPECT_EQ(info->cpuName, expected.cpuName);
    EXPECT_EQ(CpuNumbers(*info), expected.cpu);
    EXPECT_EQ(info->cpuUtilization, expected.utilization);

    std::vector<std::string> calls = {kPing,
                                      "wmic CPU Get Name",
                                      "wmic CPU Get MaxClockSpeed",
                                      "wmic CPU Get NumberOfCores",
                                      "wmic CPU Get NumberOfLogicalProcessors",
                                      "wmic CPU Get L2CacheSize",
                                      "wmic CPU Get L3CacheSize"};
    calls.insert(calls.end(), 20, "wmic cpu list full");  // the first pass had samples
    EXPECT_EQ(machine.Calls(), calls);
  }

  const CpuInfo before = *info;
  SimulatedMachine offline("offline-zh");
  ExpectRefusedOffline(GetCPUInfo);
  EXPECT_EQ(info->cpuName, before.cpuName);
  EXPECT_EQ(CpuNumbers(*info), CpuNumbers(before));
  EXPECT_EQ(info->cpuUtilization, before.cpuUtilization);
  EXPECT_EQ(offline.Calls(), PresencePings(7));
}

TEST(CpuMemoryDllTest, MemoryOfThisLocalesMachineTwiceThenOffline) {
  const LocaleMachine& expected = ThisLocale();
  const MemoryInfo* info = nullptr;
  {
    SimulatedMachine machine(expected.profile);
    ProbeError error;
    ASSERT_EQ(GetMemoryInfo(&info, &error), 1) << error.code << machine.Transcript();
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(error.code, 0);
    // Occupancy comes from this computer's own memory status; only its range is known.
    MemoryInfo withoutOccupancy = *info;
    withoutOccupancy.memoryOccupancy = 0;
    withoutOccupancy.memoryOccupancyScore = 0;
    EXPECT_EQ(MemoryNumbers(withoutOccupancy), MemoryNumbers(expected.memory));
    EXPECT_GE(info->memoryOccupancy, 0);
    EXPECT_GE(info->memoryOccupancyScore, 0);
    EXPECT_LE(info->memoryOccupancyScore, 45);

    const MemoryInfo* second = nullptr;
    ASSERT_EQ(GetMemoryInfo(&second, &error), 1) << error.code << machine.Transcript();
    EXPECT_EQ(second, info);
    EXPECT_EQ(info->memorySumSize, expected.memory.memorySumSize);
    EXPECT_EQ(machine.Calls(), (std::vector<std::string>{kPing, "wmic memorychip list /format",
                                                         kPing, "wmic memorychip list /format"}));
  }

  const std::vector<std::uint64_t> before = MemoryNumbers(*info);
  SimulatedMachine offline("offline-zh");
  ExpectRefusedOffline(GetMemoryInfo);
  EXPECT_EQ(MemoryNumbers(*info), before);
}

// Every module shares one C++ runtime and one heap, so a message that NetProbe.dll allocated is
// this program's to read, grow, copy and free, and the DLL may free what this program allocated.
TEST(CpuMemoryDllTest, ErrorFilledByTheDllIsOursToChangeAndDestroy) {
  SimulatedMachine offline("offline-zh");
  const MemoryInfo* info = nullptr;

  // Its text is too long for the string's own buffer: it lives on the heap, allocated in the DLL.
  auto filled = std::make_unique<ProbeError>();
  ASSERT_EQ(GetMemoryInfo(&info, filled.get()), 0);
  ASSERT_EQ(filled->message, kNoNetworkMessage);
  ASSERT_GT(filled->message.size(), 15u);

  ProbeError copy = *filled;
  filled->message.assign(std::string(300, 'x'));  // frees the DLL's block here
  filled->message.append("...");
  EXPECT_EQ(filled->message.size(), 303u);
  EXPECT_EQ(copy.message, kNoNetworkMessage);
  copy.message += " (copy)";
  EXPECT_EQ(copy.message, std::string(kNoNetworkMessage) + " (copy)");
  filled.reset();

  // The other way round: a heap text of ours that the DLL must replace with a longer one.
  auto ours = std::make_unique<ProbeError>();
  ours->message = "0123456789abcdef";
  ASSERT_EQ(GetMemoryInfo(&info, ours.get()), 0);
  EXPECT_EQ(ours->code, netprobe::kNoNetwork);
  EXPECT_EQ(ours->message, kNoNetworkMessage);
  ProbeError another = *ours;
  ours.reset();  // frees what the DLL allocated
  EXPECT_EQ(another.message, kNoNetworkMessage);
}

}  // namespace
}  // namespace kestrel::test
