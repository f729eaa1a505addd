// The disk probe on recorded machines: which commands run on which Windows, what the record
// holds afterwards, and how the system drive's space and rating are scored.
#include "probes/disk/disk_probe.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "NetProbe.h"
#include "support/fake_machine.h"
#include "support/records.h"

namespace kestrel::test {
namespace {

const std::wstring kListing = L"wmic diskdrive list full";
const std::wstring kPhysical = L"powershell -command \"Get-PhysicalDisk|Select-Object *\"";
const std::wstring kWinsat = L"winsat disk -drive C:";

// What an earlier run left behind; every probe run starts by clearing it.
DiskInfo Stale() {
  DiskInfo info;
  info.disks = {DiskEntry{"stale", 1}};
  info.hardDiskSumSize = 1;
  info.hardDiskSizeScore = info.hardDiskSpeedScore = info.systemDiskRemainingSpaceScore = 9;
  info.systemDiskSize = info.systemDiskRemainingSpace = 9;
  return info;
}

struct Version {
  bool known;
  unsigned major;
  unsigned minor;
};
constexpr Version kWindows10{true, 10, 0};
constexpr Version kWindows81{true, 6, 3};
constexpr Version kWindows7{true, 6, 1};
constexpr Version kUnknown{false, 0, 0};

struct ProbeCase {
  const char* profile;
  Version version;
  std::vector<std::wstring> calls;
  int code;  // 0 for success
  Disks disks;
  std::uint64_t sum;
  int sizeScore;
  int speedScore;
};

const Disks kDesktopDisks = {{"Samsung SSD 970 EVO Plus 500GB", 500105},
                             {"ST2000DM008-2FR102", 2000396}};
// The USB disk listed between these two is neither listed nor summed.
const Disks kLaptopDisks = {{"SKhynix_HFS512GD9TNG-L2A0A", 512105},
                            {"ST1000LM035-1RK172", 1000202}};
const Disks kPowerShellDisks = {{"INTEL SSDPEKNW512G8", 512110}};
const std::vector<std::wstring> kListed = {kListing, kWinsat};
const std::vector<std::wstring> kAskedPowerShell = {kListing, kPhysical, kWinsat};

TEST(DiskProbeTest, ListsScoresAndFallsBackByWindowsVersion) {
  // clang-format off
  const ProbeCase cases[] = {
      {"desktop-zh", kWindows10, kListed, 0, kDesktopDisks, 2500501, 75, 110},  // WinSAT 9.1
      {"laptop-en", kWindows10, kListed, 0, kLaptopDisks, 1512307, 70, 70},     // WinSAT 7.9
      {"winsat-refused-en", kWindows10, kListed, 0, kLaptopDisks, 1512307, 70, 0},
      // Only USB disks in the listing: PowerShell is asked, on every Windows but 7.
      {"disks-usb-only-en", kWindows10, kAskedPowerShell, 0, kPowerShellDisks, 512110, 35, 70},
      {"disks-usb-only-en", kWindows81, kAskedPowerShell, 0, kPowerShellDisks, 512110, 35, 70},
      {"disks-usb-only-en", kUnknown, kAskedPowerShell, 0, kPowerShellDisks, 512110, 35, 70},
      {"disks-usb-only-en", kWindows7, {kListing}, 2, {}, 0, 0, 0},
      {"disks-all-usb-en", kWindows10, {kListing, kPhysical}, 2, {}, 0, 0, 0},
  };
  // clang-format on
  for (const ProbeCase& c : cases) {
    const std::string what = std::string(c.profile) + " on " + std::to_string(c.version.major) +
                             "." + std::to_string(c.version.minor);
    FakeMachine machine(c.profile);
    machine.system.versionKnown = c.version.known;
    machine.system.major = c.version.major;
    machine.system.minor = c.version.minor;
    auto engine = machine.MakeEngine();
    SeedRecords(*engine, [&](netprobe::ProbeRecords& r) { r.diskInfo = Stale(); });
    ProbeError error;

    EXPECT_EQ(engine->ProbeDisks(&error), c.code == 0 ? 1 : 0) << what;
    EXPECT_EQ(error.code, c.code) << what;
    EXPECT_EQ(error.message, c.code == 0 ? "" : "解析硬盘信息失败") << what;
    EXPECT_EQ(machine.runner.calls(), c.calls) << what;
    const DiskInfo& info = engine->records().diskInfo;
    EXPECT_EQ(NamesAndSizes(info.disks), c.disks) << what;
    EXPECT_EQ(info.hardDiskSumSize, c.sum) << what;
    EXPECT_EQ(info.hardDiskSizeScore, c.sizeScore) << what;
    EXPECT_EQ(info.hardDiskSpeedScore, c.speedScore) << what;
    // The fake's system drive: 500 GB, half of it free.
    EXPECT_EQ(info.systemDiskSize, c.code == 0 ? 476940 : 0) << what;
    EXPECT_EQ(info.systemDiskRemainingSpace, c.code == 0 ? 238470 : 0) << what;
    EXPECT_EQ(info.systemDiskRemainingSpaceScore, c.code == 0 ? 45 : 0) << what;
  }
}

TEST(DiskProbeTest, CommandsThatDoNotStart) {
  const struct {
    const char* profile;
    std::wstring failing;
    std::vector<std::wstring> calls;
    int result;
    int code;
  } cases[] = {
      {"laptop-en", kListing, {kListing}, 0, 1},
      {"disks-usb-only-en", kPhysical, {kListing, kPhysical}, 0, 1},
      // A rating that cannot be had is no error.
      {"laptop-en", kWinsat, {kListing, kWinsat}, 1, 0},
  };
  for (const auto& c : cases) {
    FakeMachine machine(c.profile);
    machine.runner.FailToStart(c.failing);
    auto engine = machine.MakeEngine();
    SeedRecords(*engine, [&](netprobe::ProbeRecords& r) { r.diskInfo = Stale(); });
    ProbeError error;

    EXPECT_EQ(engine->ProbeDisks(&error), c.result) << c.profile;
    EXPECT_EQ(error.code, c.code) << c.profile;
    EXPECT_EQ(error.message, c.code == 0 ? "" : "获取硬盘信息失败") << c.profile;
    EXPECT_EQ(machine.runner.calls(), machine.runner.WithRetries(c.calls)) << c.profile;
    EXPECT_EQ(engine->records().diskInfo.hardDiskSpeedScore, 0) << c.profile;
    EXPECT_EQ(engine->records().diskInfo.disks.size(), c.result == 1 ? 2u : 0u) << c.profile;
  }
}

TEST(DiskProbeTest, SystemDriveSpaceAndItsScore) {
  constexpr std::uint64_t kGiB = 1024ULL * 1024 * 1024;
  const struct {
    const char* what;
    bool known;
    std::uint64_t total;
    std::uint64_t free;
    std::int64_t sizeMb;
    std::int64_t freeMb;
    int score;
  } cases[] = {
      {"15 percent", true, 100 * kGiB, 15 * kGiB, 102400, 15360, 15},
      {"15.9 percent truncated", true, 1000 * kGiB, 159 * kGiB, 1024000, 162816, 15},
      {"16 percent", true, 100 * kGiB, 16 * kGiB, 102400, 16384, 25},
      {"51 percent", true, 100 * kGiB, 51 * kGiB, 102400, 52224, 50},
      {"nothing free", true, 100 * kGiB, 0, 102400, 0, 15},
      {"half a megabyte", true, 512 * 1024, 256 * 1024, 0, 0, 45},
      // Beyond a 32-bit count of megabytes the figures stop at its largest value.
      {"8 EiB", true, 1ULL << 63, 1ULL << 62, 2147483647, 2147483647, 45},
      // No percentage without a size; an unknown drive leaves all three at 0.
      {"no size", true, 0, 0, 0, 0, 0},
      {"query fails", false, 100 * kGiB, 15 * kGiB, 0, 0, 0},
  };
  for (const auto& c : cases) {
    FakeMachine machine("laptop-en");
    machine.system.diskKnown = c.known;
    machine.system.diskTotalBytes = c.total;
    machine.system.diskFreeToCallerBytes = c.free;
    auto engine = machine.MakeEngine();
    SeedRecords(*engine, [&](netprobe::ProbeRecords& r) { r.diskInfo = Stale(); });
    ProbeError error;

    ASSERT_EQ(engine->ProbeDisks(&error), 1) << c.what;
    EXPECT_EQ(machine.system.diskSpaceQueries, std::vector<std::wstring>{L"C:\\Windows\\system32"})
        << c.what;
    EXPECT_EQ(engine->records().diskInfo.systemDiskSize, c.sizeMb) << c.what;
    EXPECT_EQ(engine->records().diskInfo.systemDiskRemainingSpace, c.freeMb) << c.what;
    EXPECT_EQ(engine->records().diskInfo.systemDiskRemainingSpaceScore, c.score) << c.what;
  }
}

TEST(DiskProbeTest, WinsatRatesTheDriveOfTheSystemFolder) {
  const struct {
    std::wstring folder;
    std::vector<std::wstring> calls;
    std::size_t spaceQueries;
    int speedScore;
  } cases[] = {
      {L"D:\\Windows\\system32", {kListing, kPhysical, L"winsat disk -drive D:"}, 1, 70},
      // An unknown system folder names no drive: neither space nor rating is asked for.
      {L"", {kListing, kPhysical}, 0, 0},
  };
  for (const auto& c : cases) {
    FakeMachine machine("disks-usb-only-en");
    machine.system.systemDirectory = c.folder;
    auto engine = machine.MakeEngine();
    ProbeError error;

    ASSERT_EQ(engine->ProbeDisks(&error), 1);
    EXPECT_EQ(machine.runner.calls(), c.calls);
    EXPECT_EQ(machine.system.diskSpaceQueries.size(), c.spaceQueries);
    EXPECT_EQ(engine->records().diskInfo.hardDiskSpeedScore, c.speedScore);
    EXPECT_EQ(engine->records().diskInfo.hardDiskSizeScore, 35);
  }
}

}  // namespace
}  // namespace kestrel::test
