// The microphone's mixer line: which line and control, range and value, recording source.
#include <gtest/gtest.h>

#include "core/engine_error.h"
#include "fakes.h"
#include "mixer/mic_volume_ctrl.h"

namespace micprobe::test {
namespace {

constexpr std::uint32_t kMux = 0x70010001;   // boolean units, multiple-item
constexpr std::uint32_t kMute = 0x20010002;  // boolean units, one item

// A recording destination with four sources; source s has line id 10 + s and a volume control
// 20 + s of 0..65535.
FakeMixer FourSourceMixer(std::uint32_t channels) {
  FakeMixer mixer;
  mixer.destination = {0, 100, 2, 4, 0};
  for (std::uint32_t s = 0; s < 4; ++s) {
    mixer.sources.push_back({0, 10 + s, channels, 0, 1});
    mixer.volumeControls[10 + s] = {20 + s, kVolumeControlType, 0, 0, 0, 65535, 65536};
    mixer.values[20 + s] = std::vector<std::int32_t>(channels, 1000 + static_cast<int>(s));
  }
  mixer.destinationControls = {{30, kMux, kControlMultiple, 4, 0, 1, 0},
                               {31, kMute, 0, 0, 0, 1, 0}};
  return mixer;
}

TEST(MixerLine, NoMixerGivesMinusOneEverywhere) {
  FakeMixer mixer;
  mixer.present = false;
  MixerLineRef line;
  line.source = 3;
  const MixerLineRef::Reading reading = line.Read(mixer);
  EXPECT_EQ(reading.minimum, -1);
  EXPECT_EQ(reading.maximum, -1);
  EXPECT_EQ(reading.value, -1);
  EXPECT_EQ(line.source, 0U);
  line.Set(mixer, 10);
  EXPECT_EQ(mixer.sets, 0);
}

TEST(MixerLine, ReadsRangeSelectsSourceAndReadsFirstChannel) {
  FakeMixer mixer = FourSourceMixer(2);
  mixer.values[20] = {1234, 999};
  MixerLineRef line;
  const MixerLineRef::Reading reading = line.Read(mixer);
  EXPECT_EQ(reading.minimum, 0);
  EXPECT_EQ(reading.maximum, 65535);
  EXPECT_EQ(reading.value, 1234);
  // The multiplexer of 4 items, source 0: item 3 set on both channels, the mute left alone.
  EXPECT_EQ(mixer.values[30], (std::vector<std::int32_t>{0, 0, 0, 1, 0, 0, 0, 1}));
  EXPECT_EQ(mixer.values.count(31), 0U);
  EXPECT_EQ(mixer.opens, mixer.closes);
}

TEST(MixerLine, UniformMultiplexerAndOtherSources) {
  FakeMixer mixer = FourSourceMixer(2);
  mixer.destinationControls[0].flags |= kControlUniform;
  CMicrophoneVolumeCtrl control(mixer, 2, 0);
  EXPECT_TRUE(control.SelectAsRecordingSource());
  EXPECT_EQ(mixer.values[30], (std::vector<std::int32_t>{0, 1, 0, 0}));
  EXPECT_EQ(control.GetValue(), 1002);
}

TEST(MixerLine, SetValueInsideRangeOnly) {
  struct Case {
    int value;
    bool changes;
  };
  const Case cases[] = {{0, true},      {500, true}, {65535, true},
                        {65536, false}, {-1, false}, {-65535, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    FakeMixer mixer = FourSourceMixer(2);
    MixerLineRef line;
    line.Set(mixer, c.value);
    const std::vector<std::int32_t> expected = c.changes
                                                   ? std::vector<std::int32_t>{c.value, c.value}
                                                   : std::vector<std::int32_t>{1000, 1000};
    EXPECT_EQ(mixer.values[20], expected);
  }
}

TEST(MixerLine, UnusableLines) {
  FakeMixer disabled = FourSourceMixer(1);
  disabled.volumeControls[10].flags = kControlDisabled;
  CMicrophoneVolumeCtrl off(disabled, 0, 0);
  EXPECT_FALSE(off.IsUsable());
  EXPECT_EQ(off.GetValue(), -1);
  EXPECT_EQ(off.Minimum(), -1);
  EXPECT_EQ(off.Steps(), -1);
  EXPECT_FALSE(off.SelectAsRecordingSource());

  FakeMixer mixer = FourSourceMixer(1);
  CMicrophoneVolumeCtrl beyond(mixer, 4, 0);  // only 4 sources
  EXPECT_FALSE(beyond.IsUsable());
  EXPECT_EQ(mixer.opens, 1);
  EXPECT_EQ(mixer.closes, 1);  // closed again at once
}

}  // namespace
}  // namespace micprobe::test
