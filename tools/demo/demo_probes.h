// The driver's probe calls: NetProbe's real exports, each announced with its step's status and
// progress, its result line and the record it handed out printed as the program would read it.
#pragma once

#include <atomic>

#include "app/netprobe_calls.h"

class PrintingProbes : public kestrelrun::IDetectProbes {
 public:
  int GetNetworkState() override;
  int GetHostInfomation(const HostInfo** info, ProbeError* error) override;
  int GetSystemVersionInfo(const SystemInfo** info, ProbeError* error) override;
  int GetCPUInfo(const CpuInfo** info, ProbeError* error) override;
  int GetMemoryInfo(const MemoryInfo** info, ProbeError* error) override;
  int GetHardDiskInfo(const DiskInfo** info, ProbeError* error) override;
  int GetLanAndWlanNetworkCardInfo(const std::vector<NetworkCardSummary>** summaries,
                                   ProbeError* error) override;
  int GetDNSTestnfo(const DnsTestInfo** info, ProbeError* error) override;
  int GetHostToRouterDelayInfo(const std::vector<RouterDelayEntry>** wired,
                               ProbeError* error) override;
  int GetNumberLanDevices(const std::vector<LanDevicesEntry>** wired, ProbeError* error) override;
  int GetNetworkDownloadSpeed(const DownloadSpeedInfo** info, ProbeError* error) override;
  int UploadJsonData(wchar_t* reportNumber, ProbeError* error) override;
  int SetNetworkCardDNS(const DnsSettingRequest& request, ProbeError* error) override;
  int UploadDNSJsonData(ProbeError* error) override;

  // The step whose call failed last, 0 when none did.
  int FailedStep() const { return failedStep_.load(); }

 private:
  // Prints the call's result line and its error; remembers a failed step.
  int Report(int step, const char* name, int result, const ProbeError& error);

  kestrelrun::NetProbeCalls calls_;
  std::atomic<int> failedStep_{0};
};

// "[step N, P%] status", as the status label changes.
void AnnounceStep(int number);
