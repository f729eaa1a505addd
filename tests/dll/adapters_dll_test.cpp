// GetLanAndWlanNetworkCardInfo of the real NetProbe.dll, with simulated sc, netsh and wmic
// answering from the machine profile of this locale's language.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "NetProbe.h"
#include "simulated_machine.h"

namespace {

using kestrel::test::SimulatedMachine;

// "name|speed|signal|isWired", so a mismatch shows the whole summary.
std::vector<std::string> Describe(const std::vector<NetworkCardSummary>& summaries) {
  std::vector<std::string> described;
  for (const NetworkCardSummary& s : summaries) {
    described.push_back(s.networkCardName + "|" + std::to_string(s.networkCardSpeed) + "|" +
                        std::to_string(s.signalValue) + "|" + std::to_string(s.isWired));
  }
  return described;
}

struct Machine {
  const char* profile;
  std::vector<std::string> summaries;
};

// Chinese systems (code page 936) read the desktop, others the laptop.
Machine MachineOfThisLocale() {
  if (GetACP() == 936) {
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
    ASSERT_EQ(GetLanAndWlanNetworkCardInfo(&first, &error), 1);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(Describe(*first), expected.summaries);
    EXPECT_EQ(machine.Calls(), kCommands);
  }

  // Spoil a value in place: the second call hands out the same record, filled again.
  const_cast<NetworkCardSummary&>(first->front()).networkCardSpeed = -1;
  {
    SimulatedMachine machine(expected.profile);
    const std::vector<NetworkCardSummary>* second = nullptr;
    ASSERT_EQ(GetLanAndWlanNetworkCardInfo(&second, &error), 1);
    EXPECT_EQ(second, first);
    EXPECT_EQ(Describe(*second), expected.summaries);
    EXPECT_EQ(machine.Calls(), kCommands);
  }
  EXPECT_EQ(error.code, 0);
  EXPECT_TRUE(error.message.empty());

  // Offline: code 100 before any adapter command runs, the record as it was.
  {
    SimulatedMachine machine("offline-zh");
    const std::vector<NetworkCardSummary>* offline = nullptr;
    EXPECT_EQ(GetLanAndWlanNetworkCardInfo(&offline, &error), 0);
    EXPECT_EQ(offline, nullptr);
    EXPECT_EQ(error.code, 100);
    EXPECT_EQ(error.message, "您当前未连接网络，请连接网络");
    EXPECT_EQ(Describe(*first), expected.summaries);
    for (const std::string& call : machine.Calls()) {
      EXPECT_EQ(call.rfind("ping ", 0), 0u) << call;
    }
  }
}

}  // namespace
