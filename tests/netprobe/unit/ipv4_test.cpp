// The address check that guards every command line built from tool output.
#include "core/ipv4.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kestrel::test {
namespace {

TEST(Ipv4Test, AcceptsOnlyFourDecimalNumbersUpTo255) {
  const std::vector<std::pair<std::string, bool>> cases = {
      {"192.168.1.5", true},
      {"0.0.0.0", true},
      {"255.255.255.255", true},
      {"114.114.114.114", true},
      {"010.001.1.1", false},
      {"10.0.1.1", true},
      {"256.1.1.1", false},
      {"1.1.1.1000", false},
      {"0001.1.1.1", false},
      {"1.1.1", false},
      {"1.1.1.", false},
      {".1.1.1", false},
      {"1..1.1", false},
      {"1.1.1.1.1", false},
      {"1.1.1.1&x", false},
      {"1.1.1.1 ", false},
      {" 1.1.1.1", false},
      {"1.1.1.1\r\n", false},
      {"fe80::1", false},
      {"+1.1.1.1", false},
      {"-1.1.1.1", false},
      {"1.1.1.1|calc", false},
      {std::string("1.1.1.1\0", 8), false},
      {"", false},
  };
  for (const auto& [text, expected] : cases) {
    EXPECT_EQ(netprobe::IsDottedIPv4(text), expected) << "[" << text << "]";
  }
}

}  // namespace
}  // namespace kestrel::test
