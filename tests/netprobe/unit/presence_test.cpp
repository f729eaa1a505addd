// The network presence check against recorded machines, through the export as callers see it.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "NetProbe.h"
#include "core/start_retry.h"
#include "dll/engine_instance.h"
#include "kestrel_endpoints.h"
#include "support/fake_machine.h"

namespace kestrel::test {
namespace {

std::vector<std::wstring> PingsOfFirstHosts(std::size_t count) {
  std::vector<std::wstring> pings;
  for (std::size_t i = 0; i < count; ++i) {
    pings.push_back(std::wstring(L"ping ") + kestrel::endpoints::kPresenceHosts[i]);
  }
  return pings;
}

struct PresenceCase {
  const char* profile;
  int expected;
  std::size_t pings;  // the first hosts of the list, pinged in order
};

class PresenceTest : public testing::TestWithParam<PresenceCase> {};

TEST_P(PresenceTest, PingsHostsInOrderUntilOneAnswers) {
  const PresenceCase& c = GetParam();
  FakeMachine machine(c.profile);
  machine.InstallEngine();

  EXPECT_EQ(GetNetworkState(), c.expected);
  EXPECT_EQ(machine.runner.calls(), PingsOfFirstHosts(c.pings));
  netprobe::DestroyEngine();
}

INSTANTIATE_TEST_SUITE_P(Profiles, PresenceTest,
                         testing::Values(PresenceCase{"connected-zh", 1, 1},
                                         PresenceCase{"seventh-host-en", 1, 7},
                                         PresenceCase{"offline-zh", 0, 7},
                                         PresenceCase{"lowercase-ttl", 0, 7}),
                         [](const testing::TestParamInfo<PresenceCase>& param) {
                           std::string name = param.param.profile;
                           std::replace(name.begin(), name.end(), '-', '_');
                           return name;
                         });

TEST(PresenceTest, PingThatDoesNotStartCountsAsNoAnswer) {
  FakeMachine machine("seventh-host-en");
  machine.runner.FailToStart(std::wstring(L"ping ") + kestrel::endpoints::kPresenceHosts[6]);
  machine.InstallEngine();

  EXPECT_EQ(GetNetworkState(), 0);
  // The last host's ping is tried again before it counts as no answer.
  EXPECT_EQ(machine.runner.calls().size(), 6u + netprobe::kCommandStartAttempts);
  netprobe::DestroyEngine();
}

TEST(PresenceTest, EachCallPingsAgain) {
  FakeMachine machine("connected-zh");
  machine.InstallEngine();

  EXPECT_EQ(GetNetworkState(), 1);
  EXPECT_EQ(GetNetworkState(), 1);
  EXPECT_EQ(machine.runner.calls().size(), 2u);
  netprobe::DestroyEngine();
}

}  // namespace
}  // namespace kestrel::test
