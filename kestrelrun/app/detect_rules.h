// The detection run's result rules: what each step takes from NetProbe's record into the run's
// score and problem lists, the per-adapter DNS comparison, and the choice of the one DNS change
// the network card's button makes. Pure logic over the records, so the controller and the
// console driver share it and it is tested natively.
#pragma once

#include <string>
#include <vector>

#include "NetProbe.h"

namespace kestrelrun {

// One step of the run: its status text, the progress value it reaches and the text shown when
// its call fails (steps 1 and 2 cannot fail).
struct DetectStep {
  int number;
  const wchar_t* status;
  int progress;
  const wchar_t* failure;
};

inline constexpr int kDetectStepCount = 13;
extern const DetectStep kDetectSteps[kDetectStepCount];
// Step 12's status once it succeeded (a blank before the dots, unlike step 13's).
extern const wchar_t* const kReportPendingStatus;

// The step numbered 1..13, or null.
const DetectStep* FindDetectStep(int number);

// The DNS comparison of one adapter: the test resolvers that beat its reference local one.
struct DnsAdapterAdvice {
  DnsTestEntry entry;
  std::vector<DnsProbeResult> betterTestDns;  // in testDns order
  std::vector<DnsProbeResult> localDns;
};

// What a run has gathered so far.
struct RunTally {
  int score = 0;
  std::vector<std::wstring> systemProblems;
  std::vector<std::wstring> hardwareProblems;
  std::vector<std::wstring> dnsProblems;
  std::vector<std::wstring> networkProblems;
  std::vector<DnsAdapterAdvice> dnsAdvice;

  int ProblemCount() const;
};

// The verdicts of the device steps: 2 (has a problem) adds a hardware problem.
void ApplyMicrophoneVerdict(int verdict, RunTally& tally);
void ApplyCameraVerdict(int verdict, RunTally& tally);
// One rule per probe step, applied to the record the step's export handed out.
void ApplySystem(const SystemInfo& system, RunTally& tally);
void ApplyCpu(const CpuInfo& cpu, RunTally& tally);
void ApplyMemory(const MemoryInfo& memory, RunTally& tally);
void ApplyDisk(const DiskInfo& disk, RunTally& tally);
// Replaces the DNS advice: one record per adapter, wired first.
void ApplyDns(const DnsTestInfo& dns, RunTally& tally);
void ApplyRouterDelay(const std::vector<RouterDelayEntry>& wired,
                      const std::vector<RouterDelayEntry>& wireless, RunTally& tally);
void ApplyLanDevices(const std::vector<LanDevicesEntry>& wired,
                     const std::vector<LanDevicesEntry>& wireless, RunTally& tally);
void ApplyDownloadSpeed(const DownloadSpeedInfo& speed, RunTally& tally);

// The DNS change of the first adapter with a better test resolver: its local resolvers in order,
// then the best candidate. False when no adapter has one (nothing is to be changed).
bool ChooseDnsChange(const std::vector<DnsAdapterAdvice>& advice, DnsSettingRequest& request);

}  // namespace kestrelrun
