// GetNetworkState of the real NetProbe.dll, with simulated ping answering from profiles.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "NetProbe.h"
#include "support/simulated_machine.h"

namespace kestrel::test {
namespace {

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
    EXPECT_EQ(machine.Calls(), PresencePings(c.pings)) << c.profile;
  }
}

}  // namespace
}  // namespace kestrel::test
