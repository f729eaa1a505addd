// GetHardDiskInfo of the real NetProbe.dll: simulated wmic, PowerShell and WinSAT answering from
// the machine profile of this locale; the system drive is the Wine prefix's own drive C:.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "NetProbe.h"
#include "support/offline_export.h"
#include "support/records.h"
#include "support/simulated_machine.h"
#include "support/windows_system.h"

namespace kestrel::test {
namespace {

struct LocaleMachine {
  const char* profile;
  Disks disks;
  std::uint64_t sum;
  int sizeScore;
  int speedScore;
};

const LocaleMachine& ThisLocale() {
  static const LocaleMachine chinese = {
      "desktop-zh",
      {{"Samsung SSD 970 EVO Plus 500GB", 500105}, {"ST2000DM008-2FR102", 2000396}},
      2500501,
      75,
      110};
  // The USB disk listed between the two internal ones is left out.
  static const LocaleMachine english = {
      "laptop-en",
      {{"SKhynix_HFS512GD9TNG-L2A0A", 512105}, {"ST1000LM035-1RK172", 1000202}},
      1512307,
      70,
      70};
  return ChineseSystem() ? chinese : english;
}

const std::string kPing = "ping www.baidu.com";
const std::string kListing = "wmic diskdrive list full";
const std::string kWinsat = "winsat disk -drive C:";

// The drive figures are the host's real ones: check them against a query of our own, allowing
// for files written meanwhile.
void ExpectPlausibleSystemDrive(const DiskInfo& info) {
  wchar_t folder[MAX_PATH] = {};
  ASSERT_GT(GetSystemDirectoryW(folder, MAX_PATH), 0u);
  ULARGE_INTEGER freeToCaller = {};
  ULARGE_INTEGER total = {};
  ASSERT_TRUE(GetDiskFreeSpaceExW(folder, &freeToCaller, &total, nullptr));
  const std::int64_t totalMb = static_cast<std::int64_t>(total.QuadPart / 1024 / 1024);
  const std::int64_t freeMb = static_cast<std::int64_t>(freeToCaller.QuadPart / 1024 / 1024);
  EXPECT_GT(info.systemDiskSize, 0);
  EXPECT_NEAR(static_cast<double>(info.systemDiskSize), static_cast<double>(totalMb), 1.0);
  EXPECT_NEAR(static_cast<double>(info.systemDiskRemainingSpace), static_cast<double>(freeMb),
              1024.0);
  EXPECT_LE(info.systemDiskRemainingSpace, info.systemDiskSize);
  const std::vector<int> bandScores = {15, 25, 35, 45, 50};
  EXPECT_NE(std::find(bandScores.begin(), bandScores.end(), info.systemDiskRemainingSpaceScore),
            bandScores.end())
      << info.systemDiskRemainingSpaceScore;
}

TEST(DiskDllTest, ListsScoresAndHandsOutTheSameRecordRefilled) {
  const LocaleMachine& expected = ThisLocale();
  SimulatedMachine machine(expected.profile);
  const DiskInfo* first = nullptr;
  const DiskInfo* second = nullptr;
  ProbeError error;

  ASSERT_EQ(GetHardDiskInfo(&first, &error), 1) << error.code << machine.Transcript();
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(NamesAndSizes(first->disks), expected.disks);
  EXPECT_EQ(first->hardDiskSumSize, expected.sum);
  EXPECT_EQ(first->hardDiskSizeScore, expected.sizeScore);
  EXPECT_EQ(first->hardDiskSpeedScore, expected.speedScore);
  ExpectPlausibleSystemDrive(*first);

  ASSERT_EQ(GetHardDiskInfo(&second, &error), 1) << error.code << machine.Transcript();
  EXPECT_EQ(second, first);
  // Refilled, not appended to.
  EXPECT_EQ(NamesAndSizes(second->disks), expected.disks);
  EXPECT_EQ(second->hardDiskSumSize, expected.sum);
  EXPECT_EQ(error.code, 0);
  EXPECT_EQ(machine.Calls(),
            (std::vector<std::string>{kPing, kListing, kWinsat, kPing, kListing, kWinsat}));
}

// Wine reports the Windows version its prefix is set to (Windows 7 unless configured otherwise).
bool RunsAsWindows7() {
  unsigned major = 0;
  unsigned minor = 0;
  return NtdllVersion(major, minor) && major == 6 && minor == 1;
}

TEST(DiskDllTest, OnlyUsbDisksListedAsksPowerShellExceptOnWindows7) {
  SimulatedMachine machine("disks-usb-only-en");
  const DiskInfo* info = nullptr;
  ProbeError error;

  if (RunsAsWindows7()) {
    EXPECT_EQ(GetHardDiskInfo(&info, &error), 0);
    EXPECT_EQ(info, nullptr);
    EXPECT_EQ(error.code, 2);
    EXPECT_EQ(error.message, "解析硬盘信息失败");
    EXPECT_EQ(machine.Calls(), (std::vector<std::string>{kPing, kListing}));
    return;
  }
  // The quotes and the pipe of the PowerShell command reach the tool through cmd unchanged.
  ASSERT_EQ(GetHardDiskInfo(&info, &error), 1) << error.code << machine.Transcript();
  EXPECT_EQ(NamesAndSizes(info->disks), (Disks{{"INTEL SSDPEKNW512G8", 512110}}));
  EXPECT_EQ(info->hardDiskSizeScore, 35);
  EXPECT_EQ(info->hardDiskSpeedScore, 70);
  EXPECT_EQ(
      machine.Calls(),
      (std::vector<std::string>{
          kPing, kListing, "powershell -command \"Get-PhysicalDisk|Select-Object *\"", kWinsat}));
}

TEST(DiskDllTest, OfflineLeavesTheRecordAsItWas) {
  const LocaleMachine& expected = ThisLocale();
  const DiskInfo* info = nullptr;
  {
    SimulatedMachine online(expected.profile);
    ProbeError error;
    ASSERT_EQ(GetHardDiskInfo(&info, &error), 1) << error.code << online.Transcript();
  }
  const DiskInfo before = *info;

  SimulatedMachine offline("offline-zh");
  ExpectRefusedOffline(GetHardDiskInfo);
  EXPECT_EQ(NamesAndSizes(info->disks), NamesAndSizes(before.disks));
  EXPECT_EQ(info->hardDiskSumSize, before.hardDiskSumSize);
  EXPECT_EQ(info->hardDiskSizeScore, before.hardDiskSizeScore);
  EXPECT_EQ(info->hardDiskSpeedScore, before.hardDiskSpeedScore);
  EXPECT_EQ(info->systemDiskSize, before.systemDiskSize);
  EXPECT_EQ(info->systemDiskRemainingSpace, before.systemDiskRemainingSpace);
  EXPECT_EQ(info->systemDiskRemainingSpaceScore, before.systemDiskRemainingSpaceScore);
  ExpectOnlyPings(offline.Calls());
}

}  // namespace
}  // namespace kestrel::test
