#include "dll/probe_engine.h"

#include <utility>

#include "core/presence.h"
#include "probes/adapters/adapter_probe.h"
#include "probes/cpu/cpu_probe.h"
#include "probes/device_tests/device_tests.h"
#include "probes/disk/disk_probe.h"
#include "probes/dns/dns_probe.h"
#include "probes/host/host_probe.h"
#include "probes/lan/lan_probe.h"
#include "probes/memory/memory_probe.h"
#include "probes/router/router_probe.h"
#include "probes/speed/speed_probe.h"
#include "probes/system/system_probe.h"

namespace netprobe {

ProbeEngine::ProbeEngine(const Platform& platform, ProbeRecords records)
    : sweepCommands_(*platform.commands),
      commands_(*platform.commands, platform.clock, platform.log),
      platform_(platform),
      records_(std::move(records)) {
  platform_.commands = &commands_;
  language_ = platform_.codePage->AnsiCodePage() == 936 ? kLanguageChinese : kLanguageOther;
}

int ProbeEngine::NetworkState() {
  return CheckNetworkPresence(*platform_.commands);
}

int ProbeEngine::ProbeHost(ProbeError* error) {
  WmiRunner wmi = Wmi();
  return netprobe::ProbeHost(wmi, records_.hostInfo, error);
}

int ProbeEngine::ProbeSystemVersion(ProbeError* error) {
  WmiRunner wmi = Wmi();
  return netprobe::ProbeSystemVersion(
      {wmi, *platform_.system, *platform_.codePage, *platform_.files}, records_.systemInfo, error);
}

int ProbeEngine::ProbeCpu(ProbeError* error) {
  WmiRunner wmi = Wmi();
  return netprobe::ProbeCpu({wmi, *platform_.clock, scorer_}, records_.cpuInfo,
                            records_.cpuLoadSamples, error);
}

int ProbeEngine::ProbeMemory(ProbeError* error) {
  WmiRunner wmi = Wmi();
  return netprobe::ProbeMemory(wmi, *platform_.system, scorer_, records_.memoryInfo, error);
}

int ProbeEngine::ProbeDisks(ProbeError* error) {
  WmiRunner wmi = Wmi();
  return netprobe::ProbeDisks({wmi, *platform_.commands, *platform_.system, scorer_},
                              records_.diskInfo, error);
}

int ProbeEngine::ProbeNetworkCards(ProbeError* error) {
  WmiRunner wmi = Wmi();
  return netprobe::ProbeNetworkCards({*platform_.commands, wmi, language_}, records_.wiredCards,
                                     records_.wirelessCards, records_.cardSummaries, error);
}

int ProbeEngine::ProbeDnsTest(ProbeError* error) {
  WmiRunner wmi = Wmi();
  return netprobe::ProbeDnsTest({wmi, *platform_.commands, platform_.adapters, *platform_.codePage,
                                 *platform_.files, language_, testDnsServers_},
                                records_.wiredCards, records_.wirelessCards, records_.dnsTestInfo,
                                error);
}

int ProbeEngine::ProbeRouterDelay(ProbeError* error) {
  return netprobe::ProbeRouterDelay(*platform_.commands, scorer_, records_.wiredCards,
                                    records_.wirelessCards, records_.routerDelayWired,
                                    records_.routerDelayWireless, error);
}

int ProbeEngine::ProbeLanDevices(ProbeError* error) {
  return netprobe::ProbeLanDevices(
      {*platform_.commands, *platform_.clock, language_, &sweepCommands_}, records_.wiredCards,
      records_.wirelessCards, records_.lanDevicesWired, records_.lanDevicesWireless, error);
}

int ProbeEngine::ProbeDownloadSpeed(ProbeError* error) {
  return ProbeDownloadSpeed(error, kSpeedTestTimeLimit);
}

int ProbeEngine::ProbeDownloadSpeed(ProbeError* error, std::chrono::milliseconds limit) {
  return netprobe::ProbeDownloadSpeed(
      {platform_.download, platform_.speedFiles, *platform_.clock, scorer_}, records_.downloadSpeed,
      error, limit);
}

int ProbeEngine::RunMicrophoneTest(ProbeError* error) {
  return netprobe::RunMicrophoneTest(platform_.testers, *platform_.files, records_.microphoneState,
                                     error);
}

int ProbeEngine::RunCameraTest(ProbeError* error) {
  return netprobe::RunCameraTest(platform_.testers, *platform_.files, records_.cameraState, error);
}

int ProbeEngine::StoreMicrophoneVerdict(int verdict) {
  return StoreVerdict(records_.microphoneState, verdict);
}

int ProbeEngine::StoreCameraVerdict(int verdict) {
  return StoreVerdict(records_.cameraState, verdict);
}

}  // namespace netprobe
