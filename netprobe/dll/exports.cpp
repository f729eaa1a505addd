// NetProbe's exports: find the engine, call one method, turn the outcome into 1/0 and the error
// record. No exception leaves an export.
#include <curl/curl.h>

#include "NetProbe.h"
#include "core/probe_error.h"
#include "dll/engine_instance.h"
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

using netprobe::Engine;
using netprobe::SetError;

namespace {

// What a checking export reports when its probe cannot run at all (the library released, memory
// exhausted): its own code 1, so that a caller never gets a failure without a message.
int ReportNotRun(ProbeError* error, const char* commandFailedMessage) noexcept {
  try {
    SetError(error, netprobe::kCommandFailed, commandFailedMessage);
  } catch (...) {
    // Not even the message could be copied: the failure is all that can be reported.
  }
  return 0;
}

// The shape of every checking export: presence check first (nothing changes when it fails),
// then the probe, then the record's address handed out on success.
template <typename Record>
int CheckedProbe(int (netprobe::ProbeEngine::*probe)(ProbeError*),
                 Record netprobe::ProbeRecords::*record, const Record** out, ProbeError* error,
                 const char* commandFailedMessage) noexcept {
  try {
    netprobe::ProbeEngine* engine = Engine();
    if (engine == nullptr) {
      return ReportNotRun(error, commandFailedMessage);
    }
    if (engine->NetworkState() != 1) {
      SetError(error, netprobe::kNoNetwork, netprobe::kNoNetworkMessage);
      return 0;
    }
    const int result = (engine->*probe)(error);
    if (result == 1 && out != nullptr) {
      *out = &(engine->records().*record);
    }
    return result;
  } catch (...) {
    return ReportNotRun(error, commandFailedMessage);
  }
}

// Runs an export's body; anything thrown becomes a plain failure.
template <typename Body>
int Guarded(Body&& body) noexcept {
  try {
    return body();
  } catch (...) {
    return 0;
  }
}

}  // namespace

NETPROBE_API int InitDll(ProbeError* error) {
  return Guarded([&] {
    if (curl_global_init(CURL_GLOBAL_ALL) != CURLE_OK) {
      SetError(error, netprobe::kCurlInitFailed, "初始化CURL失败");
      return 0;
    }
    return 1;
  });
}

NETPROBE_API void ReleaseDllRes() {
  if (Engine() == nullptr) {
    return;
  }
  curl_global_cleanup();
  netprobe::DestroyEngine();
}

NETPROBE_API int GetNetworkState() {
  return Guarded([] { return Engine() != nullptr ? Engine()->NetworkState() : 0; });
}

NETPROBE_API int GetHostInfomation(const HostInfo** info, ProbeError* error) {
  return CheckedProbe(&netprobe::ProbeEngine::ProbeHost, &netprobe::ProbeRecords::hostInfo, info,
                      error, netprobe::kHostCommandFailedMessage);
}

NETPROBE_API int GetSystemVersionInfo(const SystemInfo** info, ProbeError* error) {
  return CheckedProbe(&netprobe::ProbeEngine::ProbeSystemVersion,
                      &netprobe::ProbeRecords::systemInfo, info, error,
                      netprobe::kSystemCommandFailedMessage);
}

NETPROBE_API int GetCPUInfo(const CpuInfo** info, ProbeError* error) {
  return CheckedProbe(&netprobe::ProbeEngine::ProbeCpu, &netprobe::ProbeRecords::cpuInfo, info,
                      error, netprobe::kCpuCommandFailedMessage);
}

NETPROBE_API int GetMemoryInfo(const MemoryInfo** info, ProbeError* error) {
  return CheckedProbe(&netprobe::ProbeEngine::ProbeMemory, &netprobe::ProbeRecords::memoryInfo,
                      info, error, netprobe::kMemoryCommandFailedMessage);
}

NETPROBE_API int GetHardDiskInfo(const DiskInfo** info, ProbeError* error) {
  return CheckedProbe(&netprobe::ProbeEngine::ProbeDisks, &netprobe::ProbeRecords::diskInfo, info,
                      error, netprobe::kDiskCommandFailedMessage);
}

NETPROBE_API int GetLanAndWlanNetworkCardInfo(const std::vector<NetworkCardSummary>** summaries,
                                              ProbeError* error) {
  return CheckedProbe(&netprobe::ProbeEngine::ProbeNetworkCards,
                      &netprobe::ProbeRecords::cardSummaries, summaries, error,
                      netprobe::kAdapterCommandFailedMessage);
}

NETPROBE_API int GetNetworkDownloadSpeed(const DownloadSpeedInfo** info, ProbeError* error) {
  return CheckedProbe(&netprobe::ProbeEngine::ProbeDownloadSpeed,
                      &netprobe::ProbeRecords::downloadSpeed, info, error,
                      netprobe::kSpeedTestFailedMessage);
}

namespace {

// The device tests check for no network; the state's address is handed out on every outcome.
int DeviceTest(int (netprobe::ProbeEngine::*test)(ProbeError*), int netprobe::ProbeRecords::*state,
               const int** out, ProbeError* error, const char* failedMessage) noexcept {
  try {
    netprobe::ProbeEngine* engine = Engine();
    if (engine == nullptr) {
      SetError(error, netprobe::kDeviceTestFailed, failedMessage);
      return 0;
    }
    if (out != nullptr) {
      *out = &(engine->records().*state);
    }
    return (engine->*test)(error);
  } catch (...) {
    try {
      SetError(error, netprobe::kDeviceTestFailed, failedMessage);
    } catch (...) {
      // Not even the message could be copied: the failure is all that can be reported.
    }
    return 0;
  }
}

int StoreDeviceVerdict(int (netprobe::ProbeEngine::*store)(int), int verdict) noexcept {
  return Guarded([&] {
    netprobe::ProbeEngine* engine = Engine();
    return engine != nullptr ? (engine->*store)(verdict) : 0;
  });
}

}  // namespace

NETPROBE_API int GetMicrophoneTest(const int** state, ProbeError* error) {
  return DeviceTest(&netprobe::ProbeEngine::RunMicrophoneTest,
                    &netprobe::ProbeRecords::microphoneState, state, error,
                    netprobe::kMicrophoneTestFailedMessage);
}

NETPROBE_API int SetMicrophoneTestResult(int result) {
  return StoreDeviceVerdict(&netprobe::ProbeEngine::StoreMicrophoneVerdict, result);
}

NETPROBE_API int GetCameraTest(const int** state, ProbeError* error) {
  return DeviceTest(&netprobe::ProbeEngine::RunCameraTest, &netprobe::ProbeRecords::cameraState,
                    state, error, netprobe::kCameraTestFailedMessage);
}

NETPROBE_API int SetCameraTestResult(int result) {
  return StoreDeviceVerdict(&netprobe::ProbeEngine::StoreCameraVerdict, result);
}

NETPROBE_API int GetDNSTestnfo(const DnsTestInfo** info, ProbeError* error) {
  return CheckedProbe(&netprobe::ProbeEngine::ProbeDnsTest, &netprobe::ProbeRecords::dnsTestInfo,
                      info, error, netprobe::kDnsTestNotRunMessage);
}

NETPROBE_API int GetHostToRouterDelayInfo(const std::vector<RouterDelayEntry>** wired,
                                          ProbeError* error) {
  return CheckedProbe(&netprobe::ProbeEngine::ProbeRouterDelay,
                      &netprobe::ProbeRecords::routerDelayWired, wired, error,
                      netprobe::kRouterNoEntryMessage);
}

NETPROBE_API int GetNumberLanDevices(const std::vector<LanDevicesEntry>** wired,
                                     ProbeError* error) {
  return CheckedProbe(&netprobe::ProbeEngine::ProbeLanDevices,
                      &netprobe::ProbeRecords::lanDevicesWired, wired, error,
                      netprobe::kLanFailedMessage);
}
