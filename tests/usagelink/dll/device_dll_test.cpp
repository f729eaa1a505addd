// DataCollection_GetDeviceInfo of the real UsageLink.dll: "wmic csproduct list full" run through
// cmd by its own runner, answered by the simulated tools from a machine profile.
//
// The library settles once per process whether wmic exists, so the Windows 11 machine comes
// last in this file, and no other test of this program reads the device: every machine before
// it has wmic.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "UsageLink.h"
#include "support/simulated_machine.h"

namespace usagelink::test {
namespace {

using kestrel::test::ChineseSystem;
using kestrel::test::SimulatedMachine;

constexpr char kListing[] = "wmic csproduct list full";

struct DeviceCase {
  const char* profile;
  DeviceInfo expected;  // from fields that start as "model?", "maker?", "serial?"
};

std::string Show(const DeviceInfo& info) {
  return info.pcModel + " | " + info.manufacture + " | " + info.serialNumber;
}

TEST(DeviceInfoDll, TheListingsKeysInOrderAndTheModelFromVersionWhateverTheMaker) {
  const DeviceCase cases[] = {
      {ChineseSystem() ? "desktop-zh" : "laptop-en",
       ChineseSystem() ? DeviceInfo{"QiXing M720t-N000", "TARVOS", "PC1K7Q2M"}
                       : DeviceInfo{"", "Dell Inc.", "7HQK8R2"}},  // Version= is empty there
      {"host-tarvos-en", {"TravelBook T14 Gen 2i", "tarvos", "PF2W9XKD"}},
      {"host-noversion-en", {"model?", "TARVOS", "MJ0A3B7C"}},
      {"device-order-en", {"model?", "Acer", "DTBF0EG00123"}},  // Version= before the serial
      {"host-broken-wmi-en", {"model?", "maker?", "serial?"}},  // no IdentifyingNumber=
  };
  for (const DeviceCase& c : cases) {
    SCOPED_TRACE(c.profile);
    SimulatedMachine machine(c.profile);
    DeviceInfo info{"model?", "maker?", "serial?"};
    EXPECT_TRUE(DataCollection_GetDeviceInfo(&info));
    EXPECT_EQ(Show(info), Show(c.expected));
    EXPECT_EQ(machine.Calls(), std::vector<std::string>{kListing});
  }
  EXPECT_TRUE(DataCollection_GetDeviceInfo(nullptr));
}

TEST(DeviceInfoDll, AListingThatPrintsNothingGivesUpAndLeavesTheFields) {
  SimulatedMachine machine("device-silent-en");
  DeviceInfo info{"model?", "maker?", "serial?"};
  const auto start = std::chrono::steady_clock::now();
  EXPECT_TRUE(DataCollection_GetDeviceInfo(&info));
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("a silent device listing was given up after %.1f s\n", seconds);
  // The wait counts ten one-second pauses: never shorter than 10 s, and over when they are.
  EXPECT_GE(seconds, 9.9);
  EXPECT_LT(seconds, 30.0);
  EXPECT_EQ(Show(info), "model? | maker? | serial?");
  EXPECT_EQ(machine.Calls(), std::vector<std::string>{kListing});
}

// Without wmic, cmd's complaint answers the listing once; from then on PowerShell reads the
// same class, and wmic is not asked again.
TEST(DeviceInfoDll, Windows11WithoutWmicReadsTheClassThroughPowerShell) {
  SimulatedMachine machine(ChineseSystem() ? "win11-zh" : "win11-en");
  const DeviceInfo expected = ChineseSystem()
                                  ? DeviceInfo{"QiXing M720t-N000", "TARVOS", "PC1K7Q2M"}
                                  : DeviceInfo{"", "Dell Inc.", "7HQK8R2"};
  const std::string powershell =
      "powershell -NoProfile -NonInteractive -Command \"Get-CimInstance "
      "Win32_ComputerSystemProduct | ForEach-Object { foreach ($k in 'IdentifyingNumber', "
      "'Vendor', 'Version') { $k + '=' + ([string]$_.$k -replace '[\\x00-\\x1f]', ' ') } }\"";
  for (int call = 0; call < 2; ++call) {
    SCOPED_TRACE(call);
    DeviceInfo info{"model?", "maker?", "serial?"};
    EXPECT_TRUE(DataCollection_GetDeviceInfo(&info));
    EXPECT_EQ(Show(info), Show(expected));
  }
  EXPECT_EQ(machine.Calls(), (std::vector<std::string>{kListing, powershell, powershell}));
}

}  // namespace
}  // namespace usagelink::test
