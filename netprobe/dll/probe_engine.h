// The one engine behind NetProbe's exports: it runs every probe and keeps every result record
// for the report. Built with its platform services, so tests can hand it fakes.
#pragma once

#include <chrono>
#include <string>
#include <utility>
#include <vector>

#include "NetProbe.h"
#include "core/language.h"
#include "core/platform.h"
#include "core/probe_records.h"
#include "core/start_retry.h"
#include "core/wmi_query.h"
#include "network/scorer.h"

namespace netprobe {

class ProbeEngine {
 public:
  // Starts from `records` (empty, or a test's earlier run).
  explicit ProbeEngine(const Platform& platform, ProbeRecords records = ProbeRecords());
  // platform() points at the engine's own retrying runner.
  ProbeEngine(const ProbeEngine&) = delete;
  ProbeEngine& operator=(const ProbeEngine&) = delete;

  // 1 when one of the presence-check hosts answers, else 0. Runs in full on every call.
  int NetworkState();

  // The services as given, except that commands go through the engine's start retry.
  const Platform& platform() const { return platform_; }
  // The language of the tools' localised output, from the ANSI code page.
  int language() const { return language_; }
  bool WmicMissing() const { return wmi_.wmicMissing(); }

  // The records as the probes last left them; the exports hand out their members' addresses.
  const ProbeRecords& records() const { return records_; }
  // Replaces every record at once, as an earlier run would have left them (tests).
  void ReplaceRecords(ProbeRecords records) { records_ = std::move(records); }

  // One method a probe: the probe runs over the services it needs into its own record. 1 on
  // success, 0 with `error` filled; no presence check.
  int ProbeHost(ProbeError* error);
  int ProbeSystemVersion(ProbeError* error);
  int ProbeCpu(ProbeError* error);
  int ProbeMemory(ProbeError* error);
  int ProbeDisks(ProbeError* error);
  int ProbeNetworkCards(ProbeError* error);
  // The network tests read the adapter lists the adapter probe left.
  int ProbeDnsTest(ProbeError* error);
  int ProbeRouterDelay(ProbeError* error);
  int ProbeLanDevices(ProbeError* error);
  int ProbeDownloadSpeed(ProbeError* error);
  // The same with another time limit, for tests.
  int ProbeDownloadSpeed(ProbeError* error, std::chrono::milliseconds limit);
  int RunMicrophoneTest(ProbeError* error);
  int RunCameraTest(ProbeError* error);
  // A caller's verdict; 0 and nothing stored for a negative one.
  int StoreMicrophoneVerdict(int verdict);
  int StoreCameraVerdict(int verdict);

  // What the uploads and the DNS change leave: the posted report's number, the DNS optimised.
  void SetReportNumber(const std::wstring& number) { records_.reportNumber = number; }
  void MarkDnsOptimised() { records_.dnsTestInfo.optimize = 1; }

 private:
  WmiRunner Wmi() { return WmiRunner(*platform_.commands, wmi_); }

  // The runner as given: the LAN sweep retries its own pings, hundreds at once.
  ICommandRunner& sweepCommands_;
  StartRetryRunner commands_;
  Platform platform_;
  WmiCommands wmi_;
  int language_ = 0;
  Scorer scorer_;
  // The resolvers the DNS test times besides each adapter's own.
  std::vector<std::string> testDnsServers_{"114.114.114.114", "223.5.5.5"};
  ProbeRecords records_;
};

}  // namespace netprobe
