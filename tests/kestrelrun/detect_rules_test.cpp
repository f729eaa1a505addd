// The detection run's result rules at their limits, and the DNS comparison and change.
#include "app/detect_rules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kestrelrun {
namespace {

using Texts = std::vector<std::wstring>;

TEST(DetectRulesTest, HardwareRulesAtTheirLimits) {
  struct Case {
    const char* name;
    CpuInfo cpu;
    MemoryInfo memory;
    DiskInfo disk;
    int score;
    Texts problems;
  };
  auto cpu = [](int each, int load) {
    return CpuInfo{"", 0, each, 0, 19, 0, 19, 0, 19, 0, 19, load};
  };
  auto memory = [](std::uint64_t size, int occupancyScore) {
    return MemoryInfo{size, 10, 0, 10, 0, occupancyScore, 0, 10};
  };
  auto disk = [](std::int64_t free, int sizeScore, int speedScore) {
    return DiskInfo{{}, 0, sizeScore, speedScore, 0, free, 0};
  };
  const Case cases[] = {
      {"all fine: cpu 95 at load 20",
       cpu(19, 20),
       memory(8000, 30),
       disk(6144, 16, 50),
       95 + 60 + 66,
       {}},
      {"cpu 94",
       cpu(18, 0),
       memory(8000, 30),
       disk(6144, 16, 50),
       94 + 60 + 66,
       {L"CPU性能有待提升"}},
      {"load 21",
       cpu(19, 21),
       memory(8000, 30),
       disk(6144, 16, 50),
       95 + 60 + 66,
       {L"CPU性能有待提升"}},
      {"memory: occupancy first",
       cpu(19, 0),
       memory(4096, 29),
       disk(6144, 16, 50),
       95 + 59 + 66,
       {L"内存使用情况可优化", L"内存有待升级"}},
      {"disk: free 6143, size score 15",
       cpu(19, 0),
       memory(8000, 30),
       disk(6143, 15, 50),
       95 + 60 + 65,
       {L"硬盘有待升级", L"硬盘使用情况可优化"}},
      {"disk speed 49",
       cpu(19, 0),
       memory(8000, 30),
       disk(6144, 16, 49),
       95 + 60 + 65,
       {L"硬盘使用情况可优化"}},
      {"negative free space counts as plenty",
       cpu(19, 0),
       memory(8000, 30),
       disk(-1, 16, 50),
       95 + 60 + 66,
       {}},
  };
  for (const Case& c : cases) {
    RunTally tally;
    ApplyCpu(c.cpu, tally);
    ApplyMemory(c.memory, tally);
    ApplyDisk(c.disk, tally);
    EXPECT_EQ(tally.score, c.score) << c.name;
    EXPECT_EQ(tally.hardwareProblems, c.problems) << c.name;
  }
}

TEST(DetectRulesTest, SystemDevicesNetworkAndSpeed) {
  RunTally tally;
  ApplyMicrophoneVerdict(0, tally);  // closed without a verdict: no problem
  ApplyCameraVerdict(2, tally);
  ApplySystem(SystemInfo{"", "", 10}, tally);
  EXPECT_TRUE(tally.systemProblems.empty());
  ApplySystem(SystemInfo{"", "", 6}, tally);
  EXPECT_EQ(tally.systemProblems, Texts{L"操作系统版本偏低"});
  EXPECT_EQ(tally.hardwareProblems, Texts{L"摄像头问题待解决"});

  ApplyRouterDelay({RouterDelayEntry{"", "", "", 0, 0, 0, 0, 7}},
                   {RouterDelayEntry{"", "", "", 0, 0, 0, 0, 3}}, tally);
  ApplyLanDevices({}, {}, tally);  // no entries: the smallest score stays high
  EXPECT_TRUE(tally.networkProblems.empty());
  ApplyLanDevices({LanDevicesEntry{"", {}, 40}}, {LanDevicesEntry{"", {}, 25}}, tally);
  ApplyDownloadSpeed(DownloadSpeedInfo{"", "", "", "", 55}, tally);
  EXPECT_EQ(tally.networkProblems, Texts{L"接入设备数量较多"});
  ApplyDownloadSpeed(DownloadSpeedInfo{"", "", "", "", 54}, tally);
  EXPECT_EQ(tally.networkProblems, (Texts{L"接入设备数量较多", L"不符合网课带宽最低要求"}));
  EXPECT_EQ(tally.score, 7 + 3 + 40 + 25 + 55 + 54);
  EXPECT_EQ(tally.ProblemCount(), 4);
}

DnsProbeResult R(const char* address, int average, int lost) {
  return DnsProbeResult{address, 0, 0, average, lost};
}

TEST(DetectRulesTest, DnsComparisonAndTheOneChange) {
  struct Case {
    const char* name;
    std::vector<DnsProbeResult> local;
    std::vector<DnsProbeResult> test;
    std::vector<std::string> better;
    std::vector<std::string> change;  // empty: nothing to change
  };
  const Case cases[] = {
      {"faster test resolver",
       {R("1.1.1.1", 30, 0)},
       {R("9.0.0.1", 20, 0), R("9.0.0.2", 30, 0)},
       {"9.0.0.1"},
       {"1.1.1.1", "9.0.0.1"}},
      // The reference is the local one losing most; among equals the fastest.
      {"reference loses most",
       {R("1.1.1.1", 5, 0), R("1.1.1.2", 90, 2), R("1.1.1.3", 80, 2)},
       {R("9.0.0.1", 75, 2), R("9.0.0.2", 200, 1)},
       {"9.0.0.1", "9.0.0.2"},
       {"1.1.1.1", "1.1.1.2", "1.1.1.3", "9.0.0.1"}},
      // A faster candidate that loses more is not chosen over a slower one.
      {"candidate by lost, then average",
       {R("1.1.1.1", 100, 3)},
       {R("9.0.0.1", 50, 1), R("9.0.0.2", 40, 2), R("9.0.0.3", 45, 1)},
       {"9.0.0.1", "9.0.0.2", "9.0.0.3"},
       {"1.1.1.1", "9.0.0.3"}},
      {"no local resolver", {}, {R("9.0.0.1", 1, 0)}, {}, {}},
      {"no test resolver", {R("1.1.1.1", 30, 0)}, {}, {}, {}},
      {"equal is not better", {R("1.1.1.1", 30, 1)}, {R("9.0.0.1", 30, 1)}, {}, {}},
  };
  for (const Case& c : cases) {
    DnsTestInfo dns;
    dns.wiredEntries.push_back(DnsTestEntry{"LAN", "10.0.0.2", c.test, c.local});
    RunTally tally;
    ApplyDns(dns, tally);
    ASSERT_EQ(tally.dnsAdvice.size(), 1u) << c.name;
    std::vector<std::string> better;
    for (const DnsProbeResult& r : tally.dnsAdvice[0].betterTestDns) {
      better.push_back(r.dnsAddress);
    }
    EXPECT_EQ(better, c.better) << c.name;
    EXPECT_EQ(tally.dnsProblems, c.better.empty() ? Texts{} : Texts{L"有线网卡DNS可优化"})
        << c.name;
    DnsSettingRequest request;
    EXPECT_EQ(ChooseDnsChange(tally.dnsAdvice, request), !c.change.empty()) << c.name;
    EXPECT_EQ(request.dnsAddresses, c.change) << c.name;
  }
}

TEST(DetectRulesTest, OnlyTheFirstAdapterWithBetterDnsIsChanged) {
  DnsTestInfo dns;
  const DnsTestEntry fine{"Plain", "10.0.0.2", {R("9.0.0.1", 50, 0)}, {R("1.1.1.1", 10, 0)}};
  dns.wiredEntries = {fine, {"LAN", "10.0.0.3", {R("9.0.0.1", 5, 0)}, {R("1.1.1.1", 10, 0)}}};
  dns.wirelessEntries = {{"WLAN", "10.0.1.3", {R("9.0.0.1", 5, 0)}, {R("1.1.1.1", 10, 0)}}};
  RunTally tally;
  tally.dnsAdvice.resize(5);  // a new comparison replaces the old one
  ApplyDns(dns, tally);
  EXPECT_EQ(tally.dnsAdvice.size(), 3u);
  EXPECT_EQ(tally.dnsProblems, (Texts{L"有线网卡DNS可优化", L"无线网卡DNS可优化"}));
  DnsSettingRequest request;
  ASSERT_TRUE(ChooseDnsChange(tally.dnsAdvice, request));
  EXPECT_EQ(request.adapterName, "LAN");
}

TEST(DetectRulesTest, StepsInOrderWithTheirProgress) {
  EXPECT_EQ(FindDetectStep(0), nullptr);
  EXPECT_EQ(FindDetectStep(14), nullptr);
  const int progress[] = {8, 16, 24, 32, 40, 48, 56, 64, 72, 80, 88, 95, 100};
  for (int n = 1; n <= kDetectStepCount; ++n) {
    ASSERT_NE(FindDetectStep(n), nullptr);
    EXPECT_EQ(FindDetectStep(n)->number, n);
    EXPECT_EQ(FindDetectStep(n)->progress, progress[n - 1]) << n;
    EXPECT_EQ(FindDetectStep(n)->failure == nullptr, n <= 2) << n;
  }
  EXPECT_EQ(std::wstring(kReportPendingStatus),
            std::wstring(FindDetectStep(13)->status).insert(6, L" "));
}

}  // namespace
}  // namespace kestrelrun
