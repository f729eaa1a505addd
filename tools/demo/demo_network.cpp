// Prints the network tests' records and runs the device tests. Under Wine the testers are the
// stand-ins in Test\ beside the driver, which leave the number KESTREL_TESTER_ANSWER holds
// (1, "works", unless the caller chose another).
#include <windows.h>

#include <cstdio>
#include <string>

#include "demo_network.h"
#include "demo_print.h"

namespace {

void PrintResults(const char* kind, const std::vector<DnsProbeResult>& results) {
  for (const DnsProbeResult& r : results) {
    std::printf("    %-5s %-16s min %d ms, max %d ms, avg %d ms, lost %d\n", kind,
                AnsiToUtf8(r.dnsAddress).c_str(), r.minimum, r.maximum, r.average, r.lost);
  }
}

void PrintDnsEntries(const char* kind, const std::vector<DnsTestEntry>& entries) {
  for (const DnsTestEntry& entry : entries) {
    std::printf("  %-8s %s (from %s)\n", kind, AnsiToUtf8(entry.networkCardName).c_str(),
                AnsiToUtf8(entry.ipAddress).c_str());
    PrintResults("test", entry.testDns);
    PrintResults("local", entry.localDns);
  }
}

void PrintDelays(const char* kind, const std::vector<RouterDelayEntry>& entries) {
  for (const RouterDelayEntry& e : entries) {
    std::printf("  %-8s %s: %s -> %s min %d ms, max %d ms, avg %d ms, lost %d/10 (score %d)\n",
                kind, AnsiToUtf8(e.networkCardName).c_str(), AnsiToUtf8(e.ipAddress).c_str(),
                AnsiToUtf8(e.defaultIPGateway).c_str(), e.minimum, e.maximum, e.average, e.lost,
                e.hostToRouterScore);
  }
}

void PrintDevices(const char* kind, const std::vector<LanDevicesEntry>& entries) {
  for (const LanDevicesEntry& e : entries) {
    std::string addresses;
    for (const std::string& address : e.devicesAddress) {
      addresses += " " + AnsiToUtf8(address);
    }
    std::printf("  %-8s %s: %zu devices (score %d):%s\n", kind,
                AnsiToUtf8(e.networkCardName).c_str(), e.devicesAddress.size(),
                e.numberLanDevicesScore, addresses.c_str());
    if (e.unsweptAddresses != 0) {
      std::printf("  %-8s (%d addresses unswept: their pings could not be started)\n", "",
                  e.unsweptAddresses);
    }
  }
}

// The answer the stand-in testers leave, unless the caller chose one.
void ChooseTesterAnswer() {
  wchar_t value[16] = {};
  if (GetEnvironmentVariableW(L"KESTREL_TESTER_ANSWER", value, 16) == 0) {
    SetEnvironmentVariableW(L"KESTREL_TESTER_ANSWER", L"1");
  }
}

int Verdict(const char* getName, int (*get)(const int**, ProbeError*), const char* setName,
            int (*set)(int)) {
  ChooseTesterAnswer();
  const int* state = nullptr;
  Step(getName, [&](ProbeError* error) { return get(&state, error); });
  const int verdict = state != nullptr ? *state : 2;
  std::printf("  %-32s %d\n", "state", verdict);
  std::printf("%s(%d) -> %d\n", setName, verdict, set(verdict));
  return verdict;
}

}  // namespace

void Print(const DnsTestInfo& dns) {
  PrintDnsEntries("wired", dns.wiredEntries);
  PrintDnsEntries("wireless", dns.wirelessEntries);
  PrintNumber("optimize", dns.optimize);
}

void PrintRouterDelay(const std::vector<RouterDelayEntry>* wired) {
  PrintDelays("wired", wired[0]);
  PrintDelays("wireless", wired[1]);
}

void PrintLanDevices(const std::vector<LanDevicesEntry>* wired) {
  PrintDevices("wired", wired[0]);
  PrintDevices("wireless", wired[1]);
}

void Print(const DownloadSpeedInfo& speed) {
  PrintText("maxDownloadSpeed", speed.maxDownloadSpeed);
  PrintText("minDownloadSpeed", speed.minDownloadSpeed);
  PrintText("avgDownloadSpeed", speed.avgDownloadSpeed);
  PrintText("bandwidthSpeed", speed.bandwidthSpeed);
  PrintNumber("downloadSpeedScore", speed.downloadSpeedScore);
}

int MicrophoneVerdict() {
  return Verdict("GetMicrophoneTest", GetMicrophoneTest, "SetMicrophoneTestResult",
                 SetMicrophoneTestResult);
}

int CameraVerdict() {
  return Verdict("GetCameraTest", GetCameraTest, "SetCameraTestResult", SetCameraTestResult);
}
