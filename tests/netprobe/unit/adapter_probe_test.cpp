// The adapter probe on recorded machines: which commands run in which order, the lists it
// builds, the summaries and the failure when no adapter is found.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "NetProbe.h"
#include "dll/engine_instance.h"
#include "probe_fixtures.h"
#include "probes/adapters/adapter_probe.h"
#include "support/fake_machine.h"
#include "support/records.h"

namespace kestrel::test {
namespace {

const std::vector<std::wstring> kAllCommands = {L"sc start dot3svc", L"netsh lan show interface",
                                                L"netsh wlan show interface",
                                                L"wmic nic list full"};

struct ProfileCase {
  const char* profile;
  unsigned codePage;
  const wchar_t* notStarting;  // a command that does not start, or null
  int result;
  std::vector<std::string> summaries;
};

void PrintTo(const ProfileCase& c, std::ostream* os) {
  *os << c.profile;
}

class AdapterProbeTest : public testing::TestWithParam<ProfileCase> {};

TEST_P(AdapterProbeTest, BuildsSummariesWiredFirstThenWireless) {
  const ProfileCase& c = GetParam();
  FakeMachine machine(c.profile, c.codePage);
  if (c.notStarting != nullptr) {
    machine.runner.FailToStart(c.notStarting);
  }
  auto engine = machine.MakeEngine();
  ProbeError error;

  EXPECT_EQ(engine->ProbeNetworkCards(&error), c.result);
  EXPECT_EQ(Describe(engine->records().cardSummaries), c.summaries);
  // Every command is tried, the wired service started before the wired listing is read.
  EXPECT_EQ(machine.runner.calls(), machine.runner.WithRetries(kAllCommands));
  // No window flashes up, also on the further tries of a launch that did not start.
  EXPECT_EQ(machine.runner.launchShows(),
            std::vector<int>(machine.runner.WithRetries({L"sc start dot3svc"}).size(), 0));
  if (c.result == 1) {
    EXPECT_EQ(error.code, 0);
    EXPECT_TRUE(error.message.empty());
  } else {
    EXPECT_EQ(error.code, 1);
    EXPECT_EQ(error.message, "获取网卡信息失败");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Profiles, AdapterProbeTest,
    testing::Values(
        // The virtual host-only adapter is left out; no wireless service.
        ProfileCase{"desktop-zh", 936, nullptr, 1, {"Realtek PCIe GbE Family Controller|1000|0|1"}},
        // The unplugged wired adapter shows no speed; Wi-Fi its link speed and signal.
        ProfileCase{"laptop-en",
                    1252,
                    nullptr,
                    1,
                    {"Intel(R) Ethernet Connection (4) I219-V|0|0|1",
                     "Intel(R) Wireless-AC 9560 160MHz|866|80|0"}},
        ProfileCase{"nic-unknown-speed-zh",
                    936,
                    nullptr,
                    1,
                    {"Intel(R) Ethernet Connection (2) I219-LM|0|0|1",
                     "Realtek USB GbE Family Controller|0|0|1",
                     "Intel(R) Dual Band Wireless-AC 8265|0|0|0"}},
        // Only a connected adapter shows its speed, whatever the driver reports.
        ProfileCase{"nic-wired-connected-en",
                    1252,
                    nullptr,
                    1,
                    {"Intel(R) Ethernet Connection (4) I219-V|1000|0|1",
                     "Intel(R) Wireless-AC 9560 160MHz|0|0|0"}},
        ProfileCase{"nic-no-adapters-en", 1252, nullptr, 0, {}},
        // A command that does not start costs only what it would have given.
        ProfileCase{"desktop-zh",
                    936,
                    L"sc start dot3svc",
                    1,
                    {"Realtek PCIe GbE Family Controller|1000|0|1"}},
        ProfileCase{"laptop-en",
                    1252,
                    L"netsh lan show interface",
                    1,
                    {"Intel(R) Wireless-AC 9560 160MHz|866|80|0"}},
        ProfileCase{"laptop-en",
                    1252,
                    L"netsh wlan show interface",
                    1,
                    {"Intel(R) Ethernet Connection (4) I219-V|0|0|1"}},
        ProfileCase{"laptop-en",
                    1252,
                    L"wmic nic list full",
                    1,
                    {"Intel(R) Ethernet Connection (4) I219-V|0|0|1",
                     "Intel(R) Wireless-AC 9560 160MHz|0|80|0"}},
        ProfileCase{"desktop-zh", 936, L"netsh lan show interface", 0, {}}));

// An engine whose adapter probe ran on the machine and succeeded.
std::unique_ptr<netprobe::ProbeEngine> ProbedEngine(FakeMachine& machine) {
  auto engine = machine.MakeEngine();
  ProbeError error;
  EXPECT_EQ(engine->ProbeNetworkCards(&error), 1) << error.code;
  return engine;
}

TEST(AdapterProbeTest, KeepsTheCardsTheNetworkTestsBuildOn) {
  FakeMachine machine("laptop-en", 1252);
  const auto engine = ProbedEngine(machine);

  ASSERT_EQ(engine->records().wiredCards.size(), 1u);
  const NetworkCard& wired = engine->records().wiredCards[0];
  EXPECT_EQ(wired.connected, 0);
  EXPECT_EQ(wired.speed, 0);  // wmic reports no speed for the unplugged adapter
  EXPECT_EQ(wired.signal, 0);
  ASSERT_EQ(engine->records().wirelessCards.size(), 1u);
  const NetworkCard& wireless = engine->records().wirelessCards[0];
  EXPECT_EQ(wireless.description, "Intel(R) Wireless-AC 9560 160MHz");
  EXPECT_EQ(wireless.connected, 1);
  EXPECT_EQ(wireless.speed, 866);
  EXPECT_EQ(wireless.signal, 80);
  // The address fields are the DNS test's to fill.
  EXPECT_TRUE(wireless.ipAddress.empty());
  EXPECT_TRUE(wireless.dnsServers.empty());
}

TEST(AdapterProbeTest, DisconnectedAdapterKeepsTheRateItsDriverReports) {
  FakeMachine machine("nic-wired-connected-en", 1252);
  const auto engine = ProbedEngine(machine);

  ASSERT_EQ(engine->records().wirelessCards.size(), 1u);
  EXPECT_EQ(engine->records().wirelessCards[0].connected, 0);
  EXPECT_EQ(engine->records().wirelessCards[0].speed, 144);  // only its summary hides it
}

using AdapterExportTest = ExportTest;

TEST_F(AdapterExportTest, SecondCallHandsOutTheSameRecordRefilled) {
  InstallMachine("desktop-zh");
  ProbeError error;
  const std::vector<NetworkCardSummary>* first = nullptr;
  ASSERT_EQ(GetLanAndWlanNetworkCardInfo(&first, &error), 1);
  ASSERT_NE(first, nullptr);
  const std::vector<std::string> expected = {"Realtek PCIe GbE Family Controller|1000|0|1"};
  EXPECT_EQ(Describe(*first), expected);

  // Spoil the record and the lists behind it: the next call clears and fills them again.
  netprobe::ProbeEngine& engine = *netprobe::Engine();
  SeedRecords(engine, [&](netprobe::ProbeRecords& r) {
    r.cardSummaries.push_back(NetworkCardSummary{"stale", 1, 2, 0});
  });
  SeedRecords(engine, [&](netprobe::ProbeRecords& r) { r.cardSummaries[0].networkCardSpeed = 10; });
  SeedRecords(engine, [&](netprobe::ProbeRecords& r) { r.wiredCards.push_back(NetworkCard{}); });
  SeedRecords(engine, [&](netprobe::ProbeRecords& r) { r.wirelessCards.push_back(NetworkCard{}); });

  const std::vector<NetworkCardSummary>* second = nullptr;
  ASSERT_EQ(GetLanAndWlanNetworkCardInfo(&second, &error), 1);
  EXPECT_EQ(second, first);
  EXPECT_EQ(Describe(*second), expected);
  EXPECT_EQ(engine.records().wiredCards.size(), 1u);
  EXPECT_TRUE(engine.records().wirelessCards.empty());
  EXPECT_EQ(error.code, 0);
}

}  // namespace
}  // namespace kestrel::test
