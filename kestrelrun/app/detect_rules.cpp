#include "app/detect_rules.h"

#include <algorithm>
#include <cstdint>

namespace kestrelrun {

const DetectStep kDetectSteps[kDetectStepCount] = {
    {1, L"检测麦克风的运行情况...", 8, nullptr},
    {2, L"检测摄像头的运行情况...", 16, nullptr},
    {3, L"检测主机基本信息...", 24, L"主机类型信息获取失败!"},
    {4, L"检测操作系统...", 32, L"系统版本信息获取失败!"},
    {5, L"检测CPU...", 40, L"CPU信息获取失败!"},
    {6, L"检测内存...", 48, L"内存信息获取失败!"},
    {7, L"检测硬盘...", 56, L"硬盘信息获取失败!"},
    {8, L"检测网卡...", 64, L"网卡信息获取失败!"},
    {9, L"检测DNS...", 72, L"DNS检测失败!"},
    {10, L"检测主机到路由器延迟...", 80, L"主机到路由延迟检测失败!"},
    {11, L"检测局域网设备数量...", 88, L"局域网设备数量获取失败!"},
    {12, L"综合测速...", 95, L"网络速度检测失败!"},
    {13, L"生成检测报告...", 100, L"数据上传失败!"},
};
const wchar_t* const kReportPendingStatus = L"生成检测报告 ...";

namespace {

// Problem texts, as the result cards show them.
constexpr const wchar_t* kMicrophoneProblem = L"麦克风问题待解决";
constexpr const wchar_t* kCameraProblem = L"摄像头问题待解决";
constexpr const wchar_t* kSystemProblem = L"操作系统版本偏低";
constexpr const wchar_t* kCpuProblem = L"CPU性能有待提升";
constexpr const wchar_t* kMemoryUsageProblem = L"内存使用情况可优化";
constexpr const wchar_t* kMemoryUpgradeProblem = L"内存有待升级";
constexpr const wchar_t* kDiskUpgradeProblem = L"硬盘有待升级";
constexpr const wchar_t* kDiskUsageProblem = L"硬盘使用情况可优化";
constexpr const wchar_t* kWiredDnsProblem = L"有线网卡DNS可优化";
constexpr const wchar_t* kWirelessDnsProblem = L"无线网卡DNS可优化";
constexpr const wchar_t* kLanProblem = L"接入设备数量较多";
constexpr const wchar_t* kBandwidthProblem = L"不符合网课带宽最低要求";

constexpr int kDeviceProblemVerdict = 2;
constexpr int kLowestSystemVersion = 10;
constexpr int kCpuScoreWanted = 95;
constexpr int kCpuLoadLimit = 20;
constexpr int kMemoryOccupancyScoreWanted = 30;
constexpr std::uint64_t kMemoryWanted = 8000;    // MB
constexpr std::uint64_t kDiskFreeWanted = 6144;  // MB
constexpr int kDiskSpeedScoreWanted = 50;
constexpr int kDiskSizeScoreLimit = 15;  // this score or less is a problem
constexpr int kLanScoreStart = 10000;
constexpr int kLanScoreLimit = 25;  // this score or less is a problem
constexpr int kSpeedScoreWanted = 55;

// The local resolver the test resolvers must beat: the one losing most, among equals the
// fastest.
DnsProbeResult ReferenceLocal(const std::vector<DnsProbeResult>& local) {
  DnsProbeResult reference = local.front();
  for (std::size_t i = 1; i < local.size(); ++i) {
    const DnsProbeResult& r = local[i];
    if (r.lost == reference.lost && r.average < reference.average) {
      reference = r;
    }
    if (r.lost > reference.lost) {
      reference = r;
    }
  }
  return reference;
}

void AddAdvice(const DnsTestEntry& entry, const wchar_t* problem, RunTally& tally) {
  DnsAdapterAdvice advice{entry, {}, entry.localDns};
  if (!entry.localDns.empty() && !entry.testDns.empty()) {
    const DnsProbeResult reference = ReferenceLocal(entry.localDns);
    for (const DnsProbeResult& t : entry.testDns) {
      if (t.lost < reference.lost || (t.lost == reference.lost && t.average < reference.average)) {
        advice.betterTestDns.push_back(t);
      }
    }
  }
  if (!advice.betterTestDns.empty()) {
    tally.dnsProblems.push_back(problem);
  }
  tally.dnsAdvice.push_back(std::move(advice));
}

}  // namespace

const DetectStep* FindDetectStep(int number) {
  if (number < 1 || number > kDetectStepCount) {
    return nullptr;
  }
  return &kDetectSteps[number - 1];
}

int RunTally::ProblemCount() const {
  return static_cast<int>(systemProblems.size() + hardwareProblems.size() + dnsProblems.size() +
                          networkProblems.size());
}

void ApplyMicrophoneVerdict(int verdict, RunTally& tally) {
  if (verdict == kDeviceProblemVerdict) {
    tally.hardwareProblems.push_back(kMicrophoneProblem);
  }
}

void ApplyCameraVerdict(int verdict, RunTally& tally) {
  if (verdict == kDeviceProblemVerdict) {
    tally.hardwareProblems.push_back(kCameraProblem);
  }
}

void ApplySystem(const SystemInfo& system, RunTally& tally) {
  if (system.systemVersionNumber < kLowestSystemVersion) {
    tally.systemProblems.push_back(kSystemProblem);
  }
}

void ApplyCpu(const CpuInfo& cpu, RunTally& tally) {
  const int sum = cpu.maxClockSpeedScore + cpu.numberOfCoresScore +
                  cpu.numberOfLogicalProcessorsScore + cpu.l2CacheSizeScore + cpu.l3CacheSizeScore;
  tally.score += sum;
  if (sum < kCpuScoreWanted || cpu.cpuUtilization > kCpuLoadLimit) {
    tally.hardwareProblems.push_back(kCpuProblem);
  }
}

void ApplyMemory(const MemoryInfo& memory, RunTally& tally) {
  tally.score += memory.memorySumSizeScore + memory.speedScore + memory.memoryOccupancyScore +
                 memory.memoryNumberScore;
  if (memory.memoryOccupancyScore < kMemoryOccupancyScoreWanted) {
    tally.hardwareProblems.push_back(kMemoryUsageProblem);
  }
  if (memory.memorySumSize < kMemoryWanted) {
    tally.hardwareProblems.push_back(kMemoryUpgradeProblem);
  }
}

void ApplyDisk(const DiskInfo& disk, RunTally& tally) {
  tally.score += disk.hardDiskSizeScore + disk.hardDiskSpeedScore;
  // Compared as an unsigned 64-bit count, so a negative one counts as plenty.
  if (static_cast<std::uint64_t>(disk.systemDiskRemainingSpace) < kDiskFreeWanted) {
    tally.hardwareProblems.push_back(kDiskUpgradeProblem);
  }
  if (disk.hardDiskSpeedScore < kDiskSpeedScoreWanted ||
      disk.hardDiskSizeScore <= kDiskSizeScoreLimit) {
    tally.hardwareProblems.push_back(kDiskUsageProblem);
  }
}

void ApplyDns(const DnsTestInfo& dns, RunTally& tally) {
  tally.dnsAdvice.clear();
  for (const DnsTestEntry& entry : dns.wiredEntries) {
    AddAdvice(entry, kWiredDnsProblem, tally);
  }
  for (const DnsTestEntry& entry : dns.wirelessEntries) {
    AddAdvice(entry, kWirelessDnsProblem, tally);
  }
}

void ApplyRouterDelay(const std::vector<RouterDelayEntry>& wired,
                      const std::vector<RouterDelayEntry>& wireless, RunTally& tally) {
  for (const RouterDelayEntry& entry : wired) {
    tally.score += entry.hostToRouterScore;
  }
  for (const RouterDelayEntry& entry : wireless) {
    tally.score += entry.hostToRouterScore;
  }
}

void ApplyLanDevices(const std::vector<LanDevicesEntry>& wired,
                     const std::vector<LanDevicesEntry>& wireless, RunTally& tally) {
  int smallest = kLanScoreStart;
  for (const auto* entries : {&wired, &wireless}) {
    for (const LanDevicesEntry& entry : *entries) {
      tally.score += entry.numberLanDevicesScore;
      smallest = std::min(smallest, entry.numberLanDevicesScore);
    }
  }
  if (smallest <= kLanScoreLimit) {
    tally.networkProblems.push_back(kLanProblem);
  }
}

void ApplyDownloadSpeed(const DownloadSpeedInfo& speed, RunTally& tally) {
  tally.score += speed.downloadSpeedScore;
  if (speed.downloadSpeedScore < kSpeedScoreWanted) {
    tally.networkProblems.push_back(kBandwidthProblem);
  }
}

bool ChooseDnsChange(const std::vector<DnsAdapterAdvice>& advice, DnsSettingRequest& request) {
  for (const DnsAdapterAdvice& record : advice) {
    if (record.betterTestDns.empty()) {
      continue;
    }
    DnsProbeResult choice = record.betterTestDns.front();
    for (const DnsProbeResult& c : record.betterTestDns) {
      if (c.lost <= choice.lost && c.average < choice.average) {
        choice = c;
      }
    }
    request.adapterName = record.entry.networkCardName;
    request.dnsAddresses.clear();
    for (const DnsProbeResult& local : record.localDns) {
      request.dnsAddresses.push_back(local.dnsAddress);
    }
    request.dnsAddresses.push_back(choice.dnsAddress);
    return true;
  }
  return false;
}

}  // namespace kestrelrun
