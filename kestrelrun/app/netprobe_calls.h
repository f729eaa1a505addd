// The detection run's calls on the real NetProbe.dll: each method calls its export. Built in the
// Windows builds only (library kestrelrun_netprobe_calls), for the program and the console
// driver.
#pragma once

#include "app/detect_probes.h"

namespace kestrelrun {

class NetProbeCalls : public IDetectProbes {
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
};

}  // namespace kestrelrun
