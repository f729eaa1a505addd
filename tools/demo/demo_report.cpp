// One detection run the way the program makes it: each step's status text, its export, the
// record it hands out and what the step's rule takes from it; a failed step ends the run with
// its failure text. Then the report's number and page, and the one DNS change with its upload.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/detect_rules.h"
#include "demo_network.h"
#include "demo_print.h"
#include "demo_report.h"
#include "kestrel_endpoints.h"

namespace {

using kestrelrun::RunTally;

constexpr int kNoNetwork = 100;

void Announce(int number) {
  const kestrelrun::DetectStep* step = kestrelrun::FindDetectStep(number);
  std::printf("\n[step %d, %d%%] %s\n", number, step->progress, WideToUtf8(step->status).c_str());
}

// Runs one export; on failure prints what the program shows and returns false.
template <typename Call>
bool RunStep(int number, const char* name, Call call) {
  ProbeError error;
  const int result = call(&error);
  std::printf("%s -> %d\n", name, result);
  if (error.code != 0) {
    PrintError(error);  // also the partial failures a successful call may write
  }
  if (result == 1) {
    return true;
  }
  const kestrelrun::DetectStep* step = kestrelrun::FindDetectStep(number);
  if (error.code == kNoNetwork) {
    std::printf("run stopped at step %d: no network (the program shows its no-network page)\n",
                number);
  } else {
    std::printf("run stopped at step %d: message box \"%s\"\n", number,
                WideToUtf8(step->failure).c_str());
  }
  return false;
}

// A step whose export hands out one record: prints it and applies the step's rule.
template <typename Record, typename Rule>
bool RecordStep(int number, const char* name, int (*probe)(const Record**, ProbeError*),
                Rule rule) {
  Announce(number);
  const Record* record = nullptr;
  if (!RunStep(number, name, [&](ProbeError* error) { return probe(&record, error); }) ||
      record == nullptr) {
    return false;
  }
  Print(*record);
  rule(*record);
  return true;
}

void PrintProblems(const char* card, const std::vector<std::wstring>& problems) {
  for (const std::wstring& problem : problems) {
    std::printf("  %-9s %s\n", card, WideToUtf8(problem).c_str());
  }
}

void PrintTally(const RunTally& tally) {
  std::printf("\nscore %d, %d problems\n", tally.score, tally.ProblemCount());
  PrintProblems("system", tally.systemProblems);
  PrintProblems("hardware", tally.hardwareProblems);
  PrintProblems("dns", tally.dnsProblems);
  PrintProblems("network", tally.networkProblems);
}

// The network card's button: with a DNS problem, one adapter's DNS is changed and the report
// updated; the program shows neither result.
void ChangeDns(const RunTally& tally) {
  DnsSettingRequest request;
  if (tally.dnsProblems.empty() || !kestrelrun::ChooseDnsChange(tally.dnsAdvice, request)) {
    std::printf("\nDNS optimisation: nothing to change\n");
    return;
  }
  std::string addresses;
  for (const std::string& address : request.dnsAddresses) {
    addresses += (addresses.empty() ? "" : " ") + address;
  }
  std::printf("\nDNS optimisation of %s: %s\n", AnsiToUtf8(request.adapterName).c_str(),
              addresses.c_str());
  if (Step("SetNetworkCardDNS",
           [&](ProbeError* error) { return SetNetworkCardDNS(request, error); }) != 0) {
    Step("UploadDNSJsonData", [](ProbeError* error) { return UploadDNSJsonData(error); });
  }
  std::printf("  score shown after the optimisation: %d\n", tally.score + 50);
}

bool Probes(RunTally& tally) {
  using namespace kestrelrun;
  auto none = [](const auto&) {};
  if (!RecordStep(3, "GetHostInfomation", GetHostInfomation, none) ||
      !RecordStep(4, "GetSystemVersionInfo", GetSystemVersionInfo,
                  [&](const SystemInfo& r) { ApplySystem(r, tally); }) ||
      !RecordStep(5, "GetCPUInfo", GetCPUInfo, [&](const CpuInfo& r) { ApplyCpu(r, tally); }) ||
      !RecordStep(6, "GetMemoryInfo", GetMemoryInfo,
                  [&](const MemoryInfo& r) { ApplyMemory(r, tally); }) ||
      !RecordStep(7, "GetHardDiskInfo", GetHardDiskInfo,
                  [&](const DiskInfo& r) { ApplyDisk(r, tally); }) ||
      !RecordStep(8, "GetLanAndWlanNetworkCardInfo", GetLanAndWlanNetworkCardInfo, none) ||
      !RecordStep(9, "GetDNSTestnfo", GetDNSTestnfo,
                  [&](const DnsTestInfo& r) { ApplyDns(r, tally); })) {
    return false;
  }
  Announce(10);
  const std::vector<RouterDelayEntry>* delays = nullptr;
  if (!RunStep(10, "GetHostToRouterDelayInfo",
               [&](ProbeError* error) { return GetHostToRouterDelayInfo(&delays, error); })) {
    return false;
  }
  PrintRouterDelay(delays);
  ApplyRouterDelay(delays[0], delays[1], tally);

  Announce(11);
  const std::vector<LanDevicesEntry>* devices = nullptr;
  const DWORD sweepStart = GetTickCount();
  if (!RunStep(11, "GetNumberLanDevices",
               [&](ProbeError* error) { return GetNumberLanDevices(&devices, error); })) {
    return false;
  }
  std::printf("  (the sweep took %.1f s)\n", (GetTickCount() - sweepStart) / 1000.0);
  PrintLanDevices(devices);
  ApplyLanDevices(devices[0], devices[1], tally);

  if (!RecordStep(12, "GetNetworkDownloadSpeed", GetNetworkDownloadSpeed,
                  [&](const DownloadSpeedInfo& r) { ApplyDownloadSpeed(r, tally); })) {
    return false;
  }
  std::printf("  status: %s\n", WideToUtf8(kReportPendingStatus).c_str());
  return true;
}

}  // namespace

std::wstring RunDetection() {
  RunTally tally;
  Announce(1);
  kestrelrun::ApplyMicrophoneVerdict(MicrophoneVerdict(), tally);
  Announce(2);
  kestrelrun::ApplyCameraVerdict(CameraVerdict(), tally);
  if (!Probes(tally)) {
    PrintTally(tally);
    return {};
  }
  Announce(13);
  wchar_t number[256] = {};
  if (!RunStep(13, "UploadJsonData",
               [&](ProbeError* error) { return UploadJsonData(number, error); })) {
    PrintTally(tally);
    return {};
  }
  std::printf("  %-32s %s\n", "reportNumber", WideToUtf8(number).c_str());
  PrintTally(tally);
  ChangeDns(tally);
  return number;
}

std::string ReportPageAddress(const std::wstring& number) {
  return std::string("https://") + kestrel::endpoints::kReportHost + "/reportDetail/" +
         WideToUtf8(number);
}
