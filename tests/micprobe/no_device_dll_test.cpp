// The real MicProbe.dll under Wine with no sound server: no endpoint, no mixer, no wave device.
#include <gtest/gtest.h>

#include "MicProbe.h"
#include "dll_support.h"

namespace micprobe::test {
namespace {

// "打开麦克风失败", the engine's text for a wave input that did not open.
constexpr char kOpenMicrophoneText[] = "\xb4\xf2\xbf\xaa\xc2\xf3\xbf\xcb\xb7\xe7\xca\xa7\xb0\xdc";

TEST(NoDevice, EndpointListsAreEmptyAndLeaveThePointer) {
  auto* const untouched = reinterpret_cast<AudioDeviceMap*>(0x10);
  for (auto list : {&GetLocalMicrophone, &GetLocalSystemSpeaker}) {
    AudioDeviceMap* devices = untouched;
    EXPECT_EQ(list(&devices), 0);
    EXPECT_EQ(devices, untouched);
  }
}

TEST(NoDevice, VolumeGettersGiveMinusOneOrLeaveTheValue) {
  int speaker = 42;
  EXPECT_EQ(GetSpeakerVolume(&speaker), 0);
  EXPECT_EQ(speaker, 42);
  EXPECT_EQ(SetSpeakerVolume(50), 1);
  int minimum = 7, maximum = 7, volume = 7;
  EXPECT_EQ(GetMicrophoneVolumeRange(&minimum, &maximum), 1);
  EXPECT_EQ(GetMicrophoneVolume(&volume), 1);
  EXPECT_EQ(minimum, -1);
  EXPECT_EQ(maximum, -1);
  EXPECT_EQ(volume, -1);
  EXPECT_EQ(SetMicrophoneVolume(10), 1);
}

TEST(NoDevice, StartFailsWithCodeOneAndTheEnginesTextAndLeavesNoThread) {
  // winmm starts threads of its own on first use; the engine's are counted after that.
  ProbeError first;
  EXPECT_EQ(StartTestMicrophone(&first), 0);
  const int threads = ThreadCount();
  for (int round = 0; round < 10; ++round) {
    SCOPED_TRACE(round);
    ProbeError error;
    EXPECT_EQ(StartTestMicrophone(&error), 0);
    EXPECT_EQ(error.code, kMicrophoneOpenFailed);
    EXPECT_EQ(error.message, kOpenMicrophoneText);
    EXPECT_EQ(StopTestMicrophone(), 1);
  }
  // Wine's audio drivers keep a thread or two of their own; a thread left by each failed start
  // would add ten.
  EXPECT_LT(ThreadCount() - threads, 5);
}

TEST(NoDevice, DeviceSwitchesFailWithTheirCodes) {
  ProbeError mic;
  EXPECT_EQ(SetSpecifiedIDMicrophone(L"{0.0.1.00000000}.{none}", &mic), 0);
  EXPECT_EQ(mic.code, kSetMicrophoneFailed);
  ProbeError speaker;
  EXPECT_EQ(SetSpecifiedIDSystemSpeaker(L"{0.0.0.00000000}.{none}", &speaker), 0);
  EXPECT_EQ(speaker.code, kSetSpeakerFailed);
}

}  // namespace
}  // namespace micprobe::test
