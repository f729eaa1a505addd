// Every record the probes fill, in the order the engine keeps them: the exports hand out the
// addresses of their members, the report reads them all.
#pragma once

#include <string>
#include <vector>

#include "NetProbe.h"

namespace netprobe {

struct ProbeRecords {
  HostInfo hostInfo;
  SystemInfo systemInfo;
  CpuInfo cpuInfo;
  std::vector<double> cpuLoadSamples;  // the load pass that set cpuInfo's load
  MemoryInfo memoryInfo;
  DiskInfo diskInfo;
  std::vector<NetworkCard> wiredCards;  // the adapter probe's lists, which the network tests read
  std::vector<NetworkCard> wirelessCards;
  std::vector<NetworkCardSummary> cardSummaries;
  DnsTestInfo dnsTestInfo;
  std::vector<RouterDelayEntry> routerDelayWired;
  std::vector<RouterDelayEntry> routerDelayWireless;
  std::vector<LanDevicesEntry> lanDevicesWired;
  std::vector<LanDevicesEntry> lanDevicesWireless;
  DownloadSpeedInfo downloadSpeed;
  int microphoneState = 0;
  int cameraState = 0;
  std::wstring reportNumber;  // the posted report's, which the DNS state upload names
};

}  // namespace netprobe
