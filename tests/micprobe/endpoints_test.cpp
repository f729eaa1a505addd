// Endpoint lists, the default rule and the speaker volume with its mute rule, over a fake
// backend.
#include <gtest/gtest.h>

#include "endpoints/endpoints.h"
#include "fakes.h"

namespace micprobe::test {
namespace {

TEST(SpeakerVolume, MuteRuleRowByRow) {
  struct Row {
    bool muted;
    int percent;
    std::vector<std::string> calls;
    bool mutedAfter;
  };
  const Row rows[] = {
      {true, 0, {"level(0.00,null)"}, true},
      {true, 30, {"mute(0,fresh)", "level(0.30,fresh)"}, false},
      {false, 30, {"level(0.30,null)"}, false},
      {false, 100, {"level(1.00,null)"}, false},
      {false, 0, {"mute(1,fresh)", "level(0.00,fresh)"}, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::to_string(row.muted) + " " + std::to_string(row.percent));
    FakeEndpoints endpoints;
    endpoints.muted = row.muted;
    EXPECT_TRUE(ApplySpeakerPercent(endpoints, row.percent));
    EXPECT_EQ(endpoints.calls, row.calls);
    EXPECT_EQ(endpoints.muted, row.mutedAfter);
  }
}

TEST(SpeakerVolume, FailuresEndTheChange) {
  FakeEndpoints closed;
  closed.volumeOpens = false;
  EXPECT_FALSE(ApplySpeakerPercent(closed, 50));
  EXPECT_EQ(ReadSpeakerPercent(closed), -1);
  FakeEndpoints refusing;
  refusing.setLevelFails = true;
  EXPECT_FALSE(ApplySpeakerPercent(refusing, 50));
}

TEST(SpeakerVolume, LevelsAndPercents) {
  const std::pair<float, int> levels[] = {{0.289F, 28}, {0.0F, 0},  {1.0F, 100},
                                          {0.999F, 99}, {0.3F, 30}, {0.07F, 7}};
  for (const auto& [level, percent] : levels) {
    EXPECT_EQ(LevelToPercent(level), percent) << level;
    FakeEndpoints endpoints;
    endpoints.level = level;
    EXPECT_EQ(ReadSpeakerPercent(endpoints), percent);
  }
  EXPECT_FLOAT_EQ(PercentToLevel(30), 0.3F);
  EXPECT_FLOAT_EQ(PercentToLevel(100), 1.0F);
}

TEST(EndpointList, DefaultRuleIdOrderDuplicatesAndFailures) {
  FakeEndpoints endpoints;
  endpoints.capture = {{L"{b}", L"Microphone"},
                       {L"{a}", L"Microphone (USB Audio)"},
                       {L"{c}", L"Line In"},
                       {L"{a}", L"Second entry of {a}"}};
  endpoints.defaultCapture = L"Microphone (USB Audio)";
  AudioDeviceMap devices;
  EXPECT_TRUE(ListEndpoints(endpoints, Flow::kCapture, devices));
  ASSERT_EQ(devices.size(), 3U);
  auto it = devices.begin();
  EXPECT_EQ(it->first, L"{a}");
  EXPECT_EQ(it->second.name, L"Microphone (USB Audio)");  // the first entry of {a} stays
  EXPECT_EQ(it->second.isDefault, 1U);
  ++it;
  EXPECT_EQ(it->second.name, L"Microphone");  // contained in the default's name
  EXPECT_EQ(it->second.isDefault, 1U);
  ++it;
  EXPECT_EQ(it->second.isDefault, 0U);
  // The default rule asks in a COM call of its own for each endpoint.
  EXPECT_EQ(endpoints.comCalls, 4);
  EXPECT_EQ(endpoints.comDepth, 0);

  endpoints.capture = {{L"{1}", L"One"}, {L"{2}", L"Two", true}, {L"{3}", L"Three"}};
  EXPECT_FALSE(ListEndpoints(endpoints, Flow::kCapture, devices));
  ASSERT_EQ(devices.size(), 1U);
  EXPECT_EQ(devices.begin()->first, L"{1}");
  EXPECT_EQ(devices.begin()->second.isDefault, 0U);

  endpoints.defaultRender.clear();
  endpoints.render = {{L"{r}", L"Speakers"}};
  EXPECT_TRUE(ListEndpoints(endpoints, Flow::kRender, devices));
  EXPECT_EQ(devices.at(L"{r}").isDefault, 0U);  // no default known
}

TEST(EndpointList, NameRule) {
  EXPECT_TRUE(NameIsDefault(L"A", L"A"));
  EXPECT_TRUE(NameIsDefault(L"A and more", L"A"));
  EXPECT_TRUE(NameIsDefault(L"more A", L"A"));
  EXPECT_FALSE(NameIsDefault(L"A", L"A and more"));
  EXPECT_TRUE(NameIsDefault(L"A", L""));
}

}  // namespace
}  // namespace micprobe::test
