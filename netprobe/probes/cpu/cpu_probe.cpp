#include "probes/cpu/cpu_probe.h"

#include <string>

#include "core/probe_error.h"
#include "core/shared.h"
#include "core/wmi_query.h"
#include "probes/cpu/cpu_load.h"

namespace netprobe {

namespace {

// One number of the processor: its one-column query, the value and score it fills, and what is
// reported when it cannot be had.
struct CpuNumber {
  WmiQuery query;
  const char* key;
  int CpuInfo::*value;
  int CpuInfo::*score;
  int (Scorer::*rule)(int) const;
  int notStartedCode;
  const char* notStartedMessage;
  int parseFailedCode;
  const char* parseFailedMessage;
};

// In the order they are asked for; a later failure overwrites an earlier one in the error.
const CpuNumber kCpuNumbers[] = {
    {{L"WMIC CPU Get MaxClockSpeed", KESTREL_CIM_COLUMN(L"Win32_Processor", L"MaxClockSpeed")},
     "MaxClockSpeed",
     &CpuInfo::maxClockSpeed,
     &CpuInfo::maxClockSpeedScore,
     &Scorer::ClockSpeed,
     kCpuClockSpeedNotRun,
     "获取CPU标准频率失败",
     kCpuClockSpeedUnreadable,
     "解析CPU标准频率失败"},
    {{L"WMIC CPU Get NumberOfCores", KESTREL_CIM_COLUMN(L"Win32_Processor", L"NumberOfCores")},
     "NumberOfCores",
     &CpuInfo::numberOfCores,
     &CpuInfo::numberOfCoresScore,
     &Scorer::Cores,
     kCpuCoresNotRun,
     "获取CPU核心数失败",
     kCpuCoresUnreadable,
     "解析CPU核心数失败"},
    {{L"WMIC CPU Get NumberOfLogicalProcessors",
      KESTREL_CIM_COLUMN(L"Win32_Processor", L"NumberOfLogicalProcessors")},
     "NumberOfLogicalProcessors",
     &CpuInfo::numberOfLogicalProcessors,
     &CpuInfo::numberOfLogicalProcessorsScore,
     &Scorer::LogicalProcessors,
     kCpuThreadsNotRun,
     "获取CPU线程数失败",
     kCpuThreadsUnreadable,
     "解析CPU线程数失败"},
    {{L"WMIC CPU Get L2CacheSize", KESTREL_CIM_COLUMN(L"Win32_Processor", L"L2CacheSize")},
     "L2CacheSize",
     &CpuInfo::l2CacheSize,
     &CpuInfo::l2CacheSizeScore,
     &Scorer::L2Cache,
     kCpuL2CacheNotRun,
     "获取CPU二级缓存容量失败",
     kCpuL2CacheUnreadable,
     "解析CPU二级缓存容量失败"},
    {{L"WMIC CPU Get L3CacheSize", KESTREL_CIM_COLUMN(L"Win32_Processor", L"L3CacheSize")},
     "L3CacheSize",
     &CpuInfo::l3CacheSize,
     &CpuInfo::l3CacheSizeScore,
     &Scorer::L3Cache,
     kCpuL3CacheNotRun,
     "获取CPU三级缓存容量失败",
     kCpuL3CacheUnreadable,
     "解析CPU三级缓存容量失败"},
};

constexpr WmiQuery kNameQuery{L"WMIC CPU Get Name",
                              KESTREL_CIM_COLUMN(L"Win32_Processor", L"Name")};
// Twenty samples each start a program. The PowerShell sample asks for the one property it
// needs and prints the listing's one line that is read, which keeps its start-up the main cost.
constexpr WmiQuery kLoadQuery{
    L"wmic cpu list full",
    KESTREL_CIM_COMMAND(L"Get-CimInstance Win32_Processor -Property LoadPercentage | "
                        L"ForEach-Object { 'LoadPercentage=' + $_.LoadPercentage }")};
constexpr int kRunsPerPass = 20;
constexpr int kMaxPasses = 4;
constexpr unsigned kPauseMilliseconds = 480;

// Fills one number and its score; on failure reports it and leaves both at 0.
void ReadCpuNumber(const CpuProbeServices& services, const CpuNumber& number, CpuInfo& info,
                   ProbeError* error) {
  std::string output;
  if (services.wmi.Run(number.query, output) == 0) {
    SetError(error, number.notStartedCode, number.notStartedMessage);
    return;
  }
  int value = 0;
  if (ParseColumnNumber(output, number.key, value) == 0) {
    SetError(error, number.parseFailedCode, number.parseFailedMessage);
    return;
  }
  info.*number.value = value;
  info.*number.score = (services.scorer.*number.rule)(value);
}

// One pass: twenty listings about half a second apart, the positive loads kept as samples.
bool RunLoadPass(const CpuProbeServices& services, std::vector<double>& samples, int& average) {
  samples.clear();
  for (int run = 0; run < kRunsPerPass; ++run) {
    std::string listing;
    if (services.wmi.Run(kLoadQuery, listing) != 0) {
      AddLoadSample(listing, samples);
    }
    if (run + 1 < kRunsPerPass) {
      services.clock.SleepMilliseconds(kPauseMilliseconds);
    }
  }
  return AverageLoad(samples, average);
}

// The average load of the first pass that saw any; an idle machine reads 0 after four passes.
int MeasureLoad(const CpuProbeServices& services, std::vector<double>& samples) {
  for (int pass = 0; pass < kMaxPasses; ++pass) {
    int average = 0;
    if (RunLoadPass(services, samples, average) && average >= 0) {
      return average;
    }
  }
  return 0;
}

}  // namespace

int ProbeCpu(const CpuProbeServices& services, CpuInfo& info, std::vector<double>& loadSamples,
             ProbeError* error) {
  info = CpuInfo{};

  std::string output;
  if (services.wmi.Run(kNameQuery, output) == 0) {
    SetError(error, kCommandFailed, kCpuCommandFailedMessage);
    return 0;
  }
  if (ParseColumnValue(output, "Name", info.cpuName) == 0) {
    SetError(error, kAnswerUnreadable, "解析CPU名称失败");
    return 0;
  }

  // From here on a failure is reported but does not end the probe.
  for (const CpuNumber& number : kCpuNumbers) {
    ReadCpuNumber(services, number, info, error);
  }
  info.cpuUtilization = MeasureLoad(services, loadSamples);
  return 1;
}

}  // namespace netprobe
