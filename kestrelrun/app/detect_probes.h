// The NetProbe calls a detection run makes, one method per export, so that the controller runs
// against the real library in the program and the console driver and against fakes in tests.
// Each method returns what the export returns, hands out the engine's record by pointer and
// fills the caller's ProbeError like the export does. Records are read in place at once and never
// kept. Methods are called from one thread at a time (the controller serialises them), never
// from the UI thread.
#pragma once

#include <vector>

#include "NetProbe.h"

namespace kestrelrun {

class IDetectProbes {
 public:
  virtual ~IDetectProbes() = default;

  virtual int GetNetworkState() = 0;
  virtual int GetHostInfomation(const HostInfo** info, ProbeError* error) = 0;
  virtual int GetSystemVersionInfo(const SystemInfo** info, ProbeError* error) = 0;
  virtual int GetCPUInfo(const CpuInfo** info, ProbeError* error) = 0;
  virtual int GetMemoryInfo(const MemoryInfo** info, ProbeError* error) = 0;
  virtual int GetHardDiskInfo(const DiskInfo** info, ProbeError* error) = 0;
  virtual int GetLanAndWlanNetworkCardInfo(const std::vector<NetworkCardSummary>** summaries,
                                           ProbeError* error) = 0;
  virtual int GetDNSTestnfo(const DnsTestInfo** info, ProbeError* error) = 0;
  // `wired` receives a pointer to two vectors: the wired entries, then the wireless ones.
  virtual int GetHostToRouterDelayInfo(const std::vector<RouterDelayEntry>** wired,
                                       ProbeError* error) = 0;
  // Likewise: wired, then wireless.
  virtual int GetNumberLanDevices(const std::vector<LanDevicesEntry>** wired,
                                  ProbeError* error) = 0;
  virtual int GetNetworkDownloadSpeed(const DownloadSpeedInfo** info, ProbeError* error) = 0;
  // `reportNumber` is a cleared buffer of kReportNumberLength wide characters.
  virtual int UploadJsonData(wchar_t* reportNumber, ProbeError* error) = 0;
  virtual int SetNetworkCardDNS(const DnsSettingRequest& request, ProbeError* error) = 0;
  virtual int UploadDNSJsonData(ProbeError* error) = 0;
};

inline constexpr int kReportNumberLength = 256;

}  // namespace kestrelrun
