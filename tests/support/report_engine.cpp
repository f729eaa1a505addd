#include "support/report_engine.h"

#include <string>
#include <utility>

#include "probes/adapters/adapter_probe.h"
#include "probes/cpu/cpu_probe.h"
#include "probes/device_tests/device_tests.h"
#include "probes/disk/disk_probe.h"
#include "probes/dns/dns_probe.h"
#include "probes/host/host_probe.h"
#include "probes/lan/lan_probe.h"
#include "probes/memory/memory_probe.h"
#include "probes/router/router_probe.h"
#include "probes/system/system_probe.h"

namespace kestrel::test {

namespace {

DnsProbeResult Server(const std::string& address, int minimum, int maximum, int average, int lost) {
  DnsProbeResult result;
  result.dnsAddress = address;
  result.minimum = minimum;
  result.maximum = maximum;
  result.average = average;
  result.lost = lost;
  return result;
}

}  // namespace

void FillLikeAFullRun(netprobe::ProbeEngine& engine) {
  netprobe::ProbeRecords records = engine.records();
  records.hostInfo = {"TARVOS K9", "SN-20231108-0042", "TARVOS"};
  records.systemInfo = {"Microsoft Windows 10 专业版", "2009", 10};
  CpuInfo& cpu = records.cpuInfo;
  cpu = {"Intel(R) Core(TM) i5-10400 CPU @ 2.90GHz", 2904, 8, 6, 8, 12, 10, 1536, 8, 12288, 10, 17};
  records.memoryInfo = {16384, 10, 2667, 8, 43, 9, 2, 10};
  DiskInfo& disk = records.diskInfo;
  disk.disks = {{"Samsung SSD 970 EVO Plus 500GB", 500105}, {"ST1000DM010-2EP102", 1000202}};
  disk.hardDiskSumSize = 1500307;
  disk.hardDiskSizeScore = 10;
  disk.hardDiskSpeedScore = 9;
  disk.systemDiskSize = 476837;
  disk.systemDiskRemainingSpace = 238418;
  disk.systemDiskRemainingSpaceScore = 10;

  records.cardSummaries = {{"Realtek PCIe GbE Family Controller", 1000, 0, 1},
                           {"Intel(R) Wi-Fi 6 AX201 160MHz", 866, 80, 0}};

  DnsTestEntry wired;
  wired.networkCardName = "Realtek PCIe GbE Family Controller";
  wired.ipAddress = "192.168.1.23";
  wired.localDns = {Server("192.168.1.1", 1, 3, 2, 0), Server("202.96.128.86", 8, 12, 9, 0)};
  wired.testDns = {Server("114.114.114.114", 6, 9, 7, 0), Server("223.5.5.5", 5, 30, 11, 1)};
  DnsTestEntry wireless = wired;
  wireless.networkCardName = "Intel(R) Wi-Fi 6 AX201 160MHz";
  wireless.ipAddress = "192.168.31.7";
  records.dnsTestInfo.wiredEntries = {wired};
  records.dnsTestInfo.wirelessEntries = {wireless};
  records.dnsTestInfo.optimize = 1;

  records.routerDelayWired = {
      {wired.networkCardName, wired.ipAddress, "192.168.1.1", 1, 4, 2, 0, 10}};
  records.routerDelayWireless = {
      {wireless.networkCardName, wireless.ipAddress, "192.168.31.1", 2, 48, 9, 1, 6}};

  LanDevicesEntry lan;
  lan.networkCardName = wired.networkCardName;
  for (int i = 0; i < 40; ++i) {
    lan.devicesAddress.push_back("192.168.1." + std::to_string(100 + i));
  }
  lan.numberLanDevicesScore = 4;
  records.lanDevicesWired = {lan};
  records.lanDevicesWireless = {
      {wireless.networkCardName, {"192.168.31.1", "192.168.31.2", "192.168.31.9"}, 10}};

  records.downloadSpeed = {"11.872MB", "9.105MB", "10.944MB", "87.552Mbps", 10};
  records.microphoneState = 1;
  records.cameraState = 2;
  engine.ReplaceRecords(std::move(records));
}

const std::vector<DetectionProbe>& DetectionProbes() {
  static const std::vector<DetectionProbe> probes = {
      {"host", &netprobe::ProbeEngine::ProbeHost},
      {"system", &netprobe::ProbeEngine::ProbeSystemVersion},
      {"cpu", &netprobe::ProbeEngine::ProbeCpu},
      {"memory", &netprobe::ProbeEngine::ProbeMemory},
      {"disks", &netprobe::ProbeEngine::ProbeDisks},
      {"cards", &netprobe::ProbeEngine::ProbeNetworkCards},
      {"dns", &netprobe::ProbeEngine::ProbeDnsTest},
      {"router", &netprobe::ProbeEngine::ProbeRouterDelay},
      {"lan", &netprobe::ProbeEngine::ProbeLanDevices},
  };
  return probes;
}

std::string RunTheProbes(netprobe::ProbeEngine& engine) {
  for (const auto& [name, probe] : DetectionProbes()) {
    ProbeError error;
    if ((engine.*probe)(&error) != 1) {
      return name;
    }
  }
  netprobe::ProbeRecords records = engine.records();
  records.downloadSpeed = {"11.872MB", "9.105MB", "10.944MB", "87.552Mbps", 10};
  engine.ReplaceRecords(std::move(records));
  engine.StoreMicrophoneVerdict(1);
  engine.StoreCameraVerdict(2);
  return "";
}

}  // namespace kestrel::test
