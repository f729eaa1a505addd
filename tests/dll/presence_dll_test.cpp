// GetNetworkState of the real NetProbe.dll, with simulated ping answering from profiles.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "NetProbe.h"
#include "kestrel_endpoints.h"
#include "simulated_machine.h"

namespace {

using kestrel::test::SimulatedMachine;

// The simulated tools log the first `count` presence-check pings like this.
std::vector<std::string> Pings(std::size_t count) {
  std::vector<std::string> pings;
  for (std::size_t i = 0; i < count; ++i) {
    const std::wstring host = kestrel::endpoints::kPresenceHosts[i];
    pings.push_back("ping " + std::string(host.begin(), host.end()));  // host names are ASCII
  }
  return pings;
}

struct Case {
  const char* profile;
  int expected;
  std::size_t pings;
};

TEST(PresenceDllTest, AnswersFromThePingsOfTheSimulatedMachine) {
  for (const Case& c : {Case{"connected-zh", 1, 1}, Case{"seventh-host-en", 1, 7},
                        Case{"offline-zh", 0, 7}, Case{"lowercase-ttl", 0, 7}}) {
    SimulatedMachine machine(c.profile);
    EXPECT_EQ(GetNetworkState(), c.expected) << c.profile;
    EXPECT_EQ(machine.Calls(), Pings(c.pings)) << c.profile;
  }
}

}  // namespace
