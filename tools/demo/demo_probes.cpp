// The driver's probe calls (see demo_probes.h). They run on the controller's worker thread.
#include "demo_probes.h"

#include <windows.h>

#include <cstdio>

#include "app/detect_rules.h"
#include "demo_network.h"
#include "demo_print.h"

void AnnounceStep(int number) {
  const kestrelrun::DetectStep* step = kestrelrun::FindDetectStep(number);
  std::printf("\n[step %d, %d%%] %s\n", number, step->progress, WideToUtf8(step->status).c_str());
}

int PrintingProbes::Report(int step, const char* name, int result, const ProbeError& error) {
  std::printf("%s -> %d\n", name, result);
  if (error.code != 0) {
    PrintError(error);  // also the partial failures a successful call may write
  }
  if (result == 0 && step > 0) {
    failedStep_ = step;
  }
  return result;
}

int PrintingProbes::GetNetworkState() {
  ProbeError none;
  return Report(0, "GetNetworkState", calls_.GetNetworkState(), none);
}

int PrintingProbes::GetHostInfomation(const HostInfo** info, ProbeError* error) {
  AnnounceStep(3);
  const int result = Report(3, "GetHostInfomation", calls_.GetHostInfomation(info, error), *error);
  if (result != 0 && *info != nullptr) {
    Print(**info);
  }
  return result;
}

int PrintingProbes::GetSystemVersionInfo(const SystemInfo** info, ProbeError* error) {
  AnnounceStep(4);
  const int result =
      Report(4, "GetSystemVersionInfo", calls_.GetSystemVersionInfo(info, error), *error);
  if (result != 0 && *info != nullptr) {
    Print(**info);
  }
  return result;
}

int PrintingProbes::GetCPUInfo(const CpuInfo** info, ProbeError* error) {
  AnnounceStep(5);
  const int result = Report(5, "GetCPUInfo", calls_.GetCPUInfo(info, error), *error);
  if (result != 0 && *info != nullptr) {
    Print(**info);
  }
  return result;
}

int PrintingProbes::GetMemoryInfo(const MemoryInfo** info, ProbeError* error) {
  AnnounceStep(6);
  const int result = Report(6, "GetMemoryInfo", calls_.GetMemoryInfo(info, error), *error);
  if (result != 0 && *info != nullptr) {
    Print(**info);
  }
  return result;
}

int PrintingProbes::GetHardDiskInfo(const DiskInfo** info, ProbeError* error) {
  AnnounceStep(7);
  const int result = Report(7, "GetHardDiskInfo", calls_.GetHardDiskInfo(info, error), *error);
  if (result != 0 && *info != nullptr) {
    Print(**info);
  }
  return result;
}

int PrintingProbes::GetLanAndWlanNetworkCardInfo(const std::vector<NetworkCardSummary>** summaries,
                                                 ProbeError* error) {
  AnnounceStep(8);
  const int result = Report(8, "GetLanAndWlanNetworkCardInfo",
                            calls_.GetLanAndWlanNetworkCardInfo(summaries, error), *error);
  if (result != 0 && *summaries != nullptr) {
    Print(**summaries);
  }
  return result;
}

int PrintingProbes::GetDNSTestnfo(const DnsTestInfo** info, ProbeError* error) {
  AnnounceStep(9);
  const int result = Report(9, "GetDNSTestnfo", calls_.GetDNSTestnfo(info, error), *error);
  if (result != 0 && *info != nullptr) {
    Print(**info);
  }
  return result;
}

int PrintingProbes::GetHostToRouterDelayInfo(const std::vector<RouterDelayEntry>** wired,
                                             ProbeError* error) {
  AnnounceStep(10);
  const int result =
      Report(10, "GetHostToRouterDelayInfo", calls_.GetHostToRouterDelayInfo(wired, error), *error);
  if (result != 0 && *wired != nullptr) {
    PrintRouterDelay(*wired);
  }
  return result;
}

int PrintingProbes::GetNumberLanDevices(const std::vector<LanDevicesEntry>** wired,
                                        ProbeError* error) {
  AnnounceStep(11);
  const DWORD sweepStart = GetTickCount();
  const int result =
      Report(11, "GetNumberLanDevices", calls_.GetNumberLanDevices(wired, error), *error);
  std::printf("  (the sweep took %.1f s)\n", (GetTickCount() - sweepStart) / 1000.0);
  if (result != 0 && *wired != nullptr) {
    PrintLanDevices(*wired);
  }
  return result;
}

int PrintingProbes::GetNetworkDownloadSpeed(const DownloadSpeedInfo** info, ProbeError* error) {
  AnnounceStep(12);
  const int result =
      Report(12, "GetNetworkDownloadSpeed", calls_.GetNetworkDownloadSpeed(info, error), *error);
  if (result != 0 && *info != nullptr) {
    Print(**info);
  }
  return result;
}

int PrintingProbes::UploadJsonData(wchar_t* reportNumber, ProbeError* error) {
  AnnounceStep(13);
  const int result =
      Report(13, "UploadJsonData", calls_.UploadJsonData(reportNumber, error), *error);
  if (result != 0) {
    std::printf("  %-32s %s\n", "reportNumber", WideToUtf8(reportNumber).c_str());
  }
  return result;
}

int PrintingProbes::SetNetworkCardDNS(const DnsSettingRequest& request, ProbeError* error) {
  std::string addresses;
  for (const std::string& address : request.dnsAddresses) {
    addresses += (addresses.empty() ? "" : " ") + address;
  }
  std::printf("DNS optimisation of %s: %s\n", AnsiToUtf8(request.adapterName).c_str(),
              addresses.c_str());
  return Report(-1, "SetNetworkCardDNS", calls_.SetNetworkCardDNS(request, error), *error);
}

int PrintingProbes::UploadDNSJsonData(ProbeError* error) {
  return Report(-1, "UploadDNSJsonData", calls_.UploadDNSJsonData(error), *error);
}
