// GetLanAndWlanNetworkCardInfo of the real NetProbe.dll, with simulated sc, netsh and wmic
// answering from the machine profile of this locale's language.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "NetProbe.h"
#include "support/offline_export.h"
#include "support/records.h"
#include "support/simulated_machine.h"

namespace kestrel::test {
namespace {

struct Machine {
  const char* profile;
  std::vector<std::string> summaries;
};

Machine MachineOfThisLocale() {
  if (ChineseSystem()) {
    return {"desktop-zh", {"Realtek PCIe GbE Family Controller|1000|0|1"}};
  }
  return {"laptop-en",
          {"Intel(R) Ethernet Connection (4) I219-V|0|0|1",
           "Intel(R) Wireless-AC 9560 160MHz|866|80|0"}};
}

const std::vector<std::string> kCommands = {"ping www.baidu.com", "sc start dot3svc",
                                            "netsh lan show interface", "netsh wlan show interface",
                                            "wmic nic list full"};

TEST(AdaptersDllTest, ReadsTheAdaptersOfTheSimulatedMachine) {
  const Machine expected = MachineOfThisLocale();
  const std::vector<NetworkCardSummary>* first = nullptr;
  ProbeError error;
  {
    SimulatedMachine machine(expected.profile);
    ASSERT_EQ(GetLanAndWlanNetworkCardInfo(&first, &error), 1)
        << error.code << machine.Transcript();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(Describe(*first), expected.summaries);
    EXPECT_EQ(machine.Calls(), kCommands);
  }

  // Spoil a value in place: the second call hands out the same record, filled again.
  const_cast<NetworkCardSummary&>(first->front()).networkCardSpeed = -1;
  {
    SimulatedMachine machine(expected.profile);
    const std::vector<NetworkCardSummary>* second = nullptr;
    ASSERT_EQ(GetLanAndWlanNetworkCardInfo(&second, &error), 1)
        << error.code << machine.Transcript();
    EXPECT_EQ(second, first);
    EXPECT_EQ(Describe(*second), expected.summaries);
    EXPECT_EQ(machine.Calls(), kCommands);
  }
  EXPECT_EQ(error.code, 0);
  EXPECT_TRUE(error.message.empty());

  // Offline: code 100 before any adapter command runs, the record as it was.
  {
    SimulatedMachine machine("offline-zh");
    ExpectRefusedOffline(GetLanAndWlanNetworkCardInfo);
    EXPECT_EQ(Describe(*first), expected.summaries);
    ExpectOnlyPings(machine.Calls());
  }
}

}  // namespace
}  // namespace kestrel::test
