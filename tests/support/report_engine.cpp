#include "support/report_engine.h"

#include <string>

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
  engine.hostInfo = {"TARVOS K9", "SN-20231108-0042", "TARVOS"};
  engine.systemInfo = {"Microsoft Windows 10 专业版", "2009", 10};
  CpuInfo& cpu = engine.cpuInfo;
  cpu = {"Intel(R) Core(TM) i5-10400 CPU @ 2.90GHz", 2904, 8, 6, 8, 12, 10, 1536, 8, 12288, 10, 17};
  engine.memoryInfo = {16384, 10, 2667, 8, 43, 9, 2, 10};
  DiskInfo& disk = engine.diskInfo;
  disk.disks = {{"Samsung SSD 970 EVO Plus 500GB", 500105}, {"ST1000DM010-2EP102", 1000202}};
  disk.hardDiskSumSize = 1500307;
  disk.hardDiskSizeScore = 10;
  disk.hardDiskSpeedScore = 9;
  disk.systemDiskSize = 476837;
  disk.systemDiskRemainingSpace = 238418;
  disk.systemDiskRemainingSpaceScore = 10;

  engine.cardSummaries = {{"Realtek PCIe GbE Family Controller", 1000, 0, 1},
                          {"Intel(R) Wi-Fi 6 AX201 160MHz", 866, 80, 0}};

  DnsTestEntry wired;
  wired.networkCardName = "Realtek PCIe GbE Family Controller";
  wired.ipAddress = "192.168.1.23";
  wired.localDns = {Server("192.168.1.1", 1, 3, 2, 0), Server("202.96.128.86", 8, 12, 9, 0)};
  wired.testDns = {Server("114.114.114.114", 6, 9, 7, 0), Server("223.5.5.5", 5, 30, 11, 1)};
  DnsTestEntry wireless = wired;
  wireless.networkCardName = "Intel(R) Wi-Fi 6 AX201 160MHz";
  wireless.ipAddress = "192.168.31.7";
  engine.dnsTestInfo.wiredEntries = {wired};
  engine.dnsTestInfo.wirelessEntries = {wireless};
  engine.dnsTestInfo.optimize = 1;

  engine.routerDelayWired = {
      {wired.networkCardName, wired.ipAddress, "192.168.1.1", 1, 4, 2, 0, 10}};
  engine.routerDelayWireless = {
      {wireless.networkCardName, wireless.ipAddress, "192.168.31.1", 2, 48, 9, 1, 6}};

  LanDevicesEntry lan;
  lan.networkCardName = wired.networkCardName;
  for (int i = 0; i < 40; ++i) {
    lan.devicesAddress.push_back("192.168.1." + std::to_string(100 + i));
  }
  lan.numberLanDevicesScore = 4;
  engine.lanDevicesWired = {lan};
  engine.lanDevicesWireless = {
      {wireless.networkCardName, {"192.168.31.1", "192.168.31.2", "192.168.31.9"}, 10}};

  engine.downloadSpeed = {"11.872MB", "9.105MB", "10.944MB", "87.552Mbps", 10};
  engine.microphoneState = 1;
  engine.cameraState = 2;
}

std::string RunTheProbes(netprobe::ProbeEngine& engine) {
  using Probe = int (*)(netprobe::ProbeEngine&, ProbeError*);
  const std::pair<const char*, Probe> probes[] = {
      {"host", netprobe::ProbeHost},      {"system", netprobe::ProbeSystemVersion},
      {"cpu", netprobe::ProbeCpu},        {"memory", netprobe::ProbeMemory},
      {"disks", netprobe::ProbeDisks},    {"cards", netprobe::ProbeNetworkCards},
      {"dns", netprobe::ProbeDnsTest},    {"router", netprobe::ProbeRouterDelay},
      {"lan", netprobe::ProbeLanDevices},
  };
  for (const auto& [name, probe] : probes) {
    ProbeError error;
    if (probe(engine, &error) != 1) {
      return name;
    }
  }
  engine.downloadSpeed = {"11.872MB", "9.105MB", "10.944MB", "87.552Mbps", 10};
  netprobe::StoreVerdict(engine.microphoneState, 1);
  netprobe::StoreVerdict(engine.cameraState, 2);
  return "";
}

}  // namespace kestrel::test
