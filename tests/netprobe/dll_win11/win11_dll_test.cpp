// The real NetProbe.dll on a Windows 11 machine without wmic, beside the Windows 10 machine with
// the same hardware: the same records, the system named Windows 11, and no wmic line run after
// the first was found missing.
//
// The library decides once per process whether wmic exists, so this program runs on its own:
// the Windows 10 machine first (wmic present), then the Windows 11 one.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "NetProbe.h"
#include "support/records.h"
#include "support/simulated_machine.h"
#include "support/windows_system.h"

namespace kestrel::test {
namespace {

std::string Join(const std::vector<std::string>& texts) {
  std::string text;
  for (const std::string& t : texts) {
    text += t + "; ";
  }
  return text;
}

// The records of the exports that read WMI classes, and of the network tests that follow from
// them (the LAN sweep aside: its 256 pings cost minutes under Wine and read no WMI class). The
// memory occupancy and the system drive's space follow Wine's own machine and are left out.
struct Detection {
  std::vector<std::string> records;
  std::string systemName;
  std::vector<std::string> calls;
};

bool Succeeded(int result, const ProbeError& error, const char* what, const SimulatedMachine& m) {
  EXPECT_EQ(result, 1) << what << ": " << error.code << " " << error.message << "\n"
                       << m.Transcript();
  return result == 1;
}

Detection Detect(const char* profile) {
  SimulatedMachine machine(profile);
  Detection d;
  ProbeError error;
  const HostInfo* host = nullptr;
  if (!Succeeded(GetHostInfomation(&host, &error), error, "host", machine)) {
    return d;
  }
  d.records.push_back(host->hostTypeName + "|" + host->serialNumber + "|" + host->manufacturer);
  const SystemInfo* system = nullptr;
  if (!Succeeded(GetSystemVersionInfo(&system, &error), error, "system", machine)) {
    return d;
  }
  d.systemName = system->systemName;
  d.records.push_back(system->systemVersion + "|" + std::to_string(system->systemVersionNumber));
  const CpuInfo* cpu = nullptr;
  if (!Succeeded(GetCPUInfo(&cpu, &error), error, "cpu", machine)) {
    return d;
  }
  std::string numbers;
  for (const int n : CpuNumbers(*cpu)) {
    numbers += std::to_string(n) + " ";
  }
  d.records.push_back(cpu->cpuName + "|" + numbers + std::to_string(cpu->cpuUtilization));
  const MemoryInfo* memory = nullptr;
  if (!Succeeded(GetMemoryInfo(&memory, &error), error, "memory", machine)) {
    return d;
  }
  d.records.push_back(
      std::to_string(memory->memorySumSize) + " " + std::to_string(memory->memorySumSizeScore) +
      " " + std::to_string(memory->speed) + " " + std::to_string(memory->speedScore) + " " +
      std::to_string(memory->memoryNumber) + " " + std::to_string(memory->memoryNumberScore));
  const DiskInfo* disks = nullptr;
  if (!Succeeded(GetHardDiskInfo(&disks, &error), error, "disks", machine)) {
    return d;
  }
  for (const auto& [name, size] : NamesAndSizes(disks->disks)) {
    d.records.push_back(name + "|" + std::to_string(size));
  }
  d.records.push_back(std::to_string(disks->hardDiskSumSize) + " " +
                      std::to_string(disks->hardDiskSizeScore) + " " +
                      std::to_string(disks->hardDiskSpeedScore));
  const std::vector<NetworkCardSummary>* cards = nullptr;
  if (!Succeeded(GetLanAndWlanNetworkCardInfo(&cards, &error), error, "cards", machine)) {
    return d;
  }
  d.records.push_back(Join(Describe(*cards)));
  const DnsTestInfo* dns = nullptr;
  if (!Succeeded(GetDNSTestnfo(&dns, &error), error, "dns", machine)) {
    return d;
  }
  d.records.push_back(Join(Describe(*dns)));
  const std::vector<RouterDelayEntry>* wired = nullptr;
  if (!Succeeded(GetHostToRouterDelayInfo(&wired, &error), error, "router", machine)) {
    return d;
  }
  d.records.push_back(Join(Describe(wired[0])) + Join(Describe(wired[1])));  // wireless follows
  d.calls = machine.Calls();
  return d;
}

void CompareWindows11WithWindows10();

bool IsWmicLine(const std::string& call) {
  return call.rfind("wmic ", 0) == 0 || call.rfind("WMIC ", 0) == 0;
}

TEST(Windows11DllTest, GivesTheRecordsOfTheSameHardwareOnWindows10) {
  // The registry of both machines, as Windows 11 keeps it: the release frozen at 2009 and the
  // product name still saying Windows 10. The other tests of this prefix edit it too.
  const HANDLE lock = CreateMutexW(nullptr, FALSE, L"KestrelHostSystemDllTest");
  ASSERT_NE(lock, nullptr);
  WaitForSingleObject(lock, INFINITE);
  {
    ScopedCurrentVersionValue release(L"ReleaseId", L"2009");
    ScopedCurrentVersionValue product(L"ProductName", L"Windows 10 Pro");
    CompareWindows11WithWindows10();
  }
  ReleaseMutex(lock);
  CloseHandle(lock);
}

void CompareWindows11WithWindows10() {
  const bool chinese = ChineseSystem();
  const Detection windows10 = Detect(chinese ? "desktop-zh" : "laptop-en");
  const Detection windows11 = Detect(chinese ? "win11-zh" : "win11-en");

  EXPECT_EQ(windows11.records, windows10.records);
  EXPECT_NE(windows10.systemName.find("Windows 10"), std::string::npos) << windows10.systemName;
  EXPECT_NE(windows11.systemName.find("Windows 11"), std::string::npos) << windows11.systemName;

  std::size_t wmicLines = 0;
  for (const std::string& call : windows11.calls) {
    wmicLines += IsWmicLine(call) ? 1 : 0;
  }
  EXPECT_EQ(wmicLines, 1u);
  ASSERT_FALSE(windows11.calls.empty());
  for (const std::string& call : windows10.calls) {
    EXPECT_EQ(call.find("-NoProfile"), std::string::npos) << call;
  }
}

}  // namespace
}  // namespace kestrel::test
