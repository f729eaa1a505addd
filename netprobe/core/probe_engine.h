// The one engine behind NetProbe's exports: it runs every probe and keeps every result record
// for the report. Built with its platform services, so tests can hand it fakes.
#pragma once

#include <string>
#include <vector>

#include "NetProbe.h"
#include "core/platform.h"
#include "core/wmi_query.h"
#include "network/scorer.h"

namespace netprobe {

class IDownloadTransport;
class ISpeedTestFiles;
class ITesterPrograms;

// Platform services the engine uses; owned by whoever builds the engine and outliving it.
struct Platform {
  ICommandRunner* commands = nullptr;
  ICodePage* codePage = nullptr;
  IFiles* files = nullptr;
  ISystemInfo* system = nullptr;
  IClock* clock = nullptr;
  IAdapterNames* adapters = nullptr;
  IHttpUpload* upload = nullptr;
  IDownloadTransport* download = nullptr;  // the speed test's HTTP transfers
  ISpeedTestFiles* speedFiles = nullptr;   // the speed test's payload file
  ITesterPrograms* testers = nullptr;      // the microphone and camera testers
};

// The two languages of localised command output.
inline constexpr int kLanguageChinese = 1;
inline constexpr int kLanguageOther = 2;

class ProbeEngine {
 public:
  explicit ProbeEngine(const Platform& platform);

  // 1 when one of the presence-check hosts answers, else 0. Runs in full on every call.
  int NetworkState();

  const Platform& platform() const { return platform_; }

  // Runs a WMI query through wmic, or through PowerShell once wmic has been found missing.
  int RunWmiQuery(const WmiQuery& query, std::string& output) {
    return wmi_.Run(*platform_.commands, query, output);
  }
  bool WmicMissing() const { return wmi_.wmicMissing(); }

  // Public members in the order the records are kept; exports hand out their addresses.
  int language = 0;
  Scorer scorer;
  HostInfo hostInfo;
  SystemInfo systemInfo;
  CpuInfo cpuInfo;
  std::vector<double> cpuLoadSamples;
  MemoryInfo memoryInfo;
  DiskInfo diskInfo;
  std::vector<NetworkCard> wiredCards;
  std::vector<NetworkCard> wirelessCards;
  std::vector<NetworkCardSummary> cardSummaries;
  DnsTestInfo dnsTestInfo;
  std::vector<std::string> testDnsServers;
  std::vector<RouterDelayEntry> routerDelayWired;
  std::vector<RouterDelayEntry> routerDelayWireless;
  std::vector<LanDevicesEntry> lanDevicesWired;
  std::vector<LanDevicesEntry> lanDevicesWireless;
  DownloadSpeedInfo downloadSpeed;
  int microphoneState = 0;
  int cameraState = 0;
  std::wstring reportNumber;

 private:
  Platform platform_;
  WmiCommands wmi_;
};

}  // namespace netprobe
