#include "core/test_modes.h"

#include <gtest/gtest.h>

namespace kestrel::server {
namespace {

Modes Defaults() {
  Modes m;
  m.payloadRate = 5;
  m.payloadBytes = 100;
  m.versionCurrent = "2.1.20.928";
  return m;
}

TEST(TestModesTest, EachKeyTakesItsValues) {
  TestModes modes(Defaults());
  EXPECT_EQ(modes.Apply({{"payload.rate", "0"},
                         {"payload.bytes", "4096"},
                         {"payload.fault", "nolength"},
                         {"report.mode", "unknowncode"},
                         {"version.mode", "text"},
                         {"version.current", "3.0"},
                         {"version.url", "http://127.0.0.1/dl"}}),
            "");
  const Modes m = modes.Get();
  EXPECT_EQ(m.payloadRate, 0);
  EXPECT_EQ(m.payloadBytes, 4096);
  EXPECT_EQ(m.payloadFault, PayloadFault::kNoLength);
  EXPECT_EQ(m.reportMode, ReportMode::kUnknownCode);
  EXPECT_EQ(m.versionMode, VersionMode::kText);
  EXPECT_EQ(m.versionCurrent, "3.0");
  EXPECT_EQ(m.versionUrl, "http://127.0.0.1/dl");
  modes.Reset();
  EXPECT_EQ(modes.Get().payloadRate, 5);
  EXPECT_EQ(modes.Get().reportMode, ReportMode::kNormal);
}

TEST(TestModesTest, ABadPairChangesNothing) {
  const std::vector<std::pair<std::string, std::string>> bad[] = {
      {{"payload.fault", "drop"}, {"payload.rate", "fast"}},
      {{"report.mode", "code201"}, {"report.mode", "code202"}},
      {{"version.mode", "Normal"}},
      {{"payload.bytes", "0"}},
      {{"version.current", ""}},
      {{"version.current", "3.0<b>"}},
      {{"version.current", "latest"}},
      {{"payload.speed", "1"}},
  };
  for (const auto& settings : bad) {
    TestModes modes(Defaults());
    EXPECT_NE(modes.Apply(settings), "");
    const Modes m = modes.Get();
    EXPECT_EQ(m.payloadFault, PayloadFault::kNone);
    EXPECT_EQ(m.reportMode, ReportMode::kNormal);
    EXPECT_EQ(m.payloadRate, 5);
  }
}

}  // namespace
}  // namespace kestrel::server
