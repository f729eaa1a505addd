// The exports over a tester built on fakes, as KestrelRun calls them.
#include <gtest/gtest.h>

#include "MicProbe.h"
#include "core/engine_error.h"
#include "core/messages.h"
#include "dll/tester_instance.h"
#include "fakes.h"

namespace micprobe::test {
namespace {

struct Drawn {
  int calls = 0;
  int count = 0;
  short first = 0;
};

int Draw(short* samples, int count, void* context) {
  auto* drawn = static_cast<Drawn*>(context);
  ++drawn->calls;
  drawn->count = count;
  drawn->first = samples[0];
  return 0;
}

void NoError(void*) {}

struct Exports : ::testing::Test {
  FakeAudio audio;
  void SetUp() override { InstallTester(std::make_unique<MicTester>(audio.Services())); }
  void TearDown() override { DestroyTester(); }
};

TEST_F(Exports, NullCallbackKeepsTheRegisteredOne) {
  Drawn drawn;
  EXPECT_EQ(SetMicrophoneTestDrawWaveCallBack(&Draw, &drawn), 1);
  EXPECT_EQ(SetMicrophoneTestDrawWaveCallBack(nullptr, nullptr), 0);
  EXPECT_EQ(SetMicrophoneTestErrorCallBack(nullptr, nullptr), 0);
  EXPECT_EQ(SetMicrophoneTestErrorCallBack(&NoError, nullptr), 1);
  ProbeError error;
  ASSERT_EQ(StartTestMicrophone(&error), 1);
  ASSERT_TRUE(audio.waveIn.Capture(-42));
  EXPECT_EQ(drawn.calls, 1);
  EXPECT_EQ(drawn.count, 2048);
  EXPECT_EQ(drawn.first, -42);
  EXPECT_EQ(StopTestMicrophone(), 1);
  EXPECT_EQ(drawn.calls, 1);  // blocks returned by the stop are not drawn
  EXPECT_EQ(error.code, 0);
}

int ThrowingDraw(short*, int, void* context) {
  ++static_cast<Drawn*>(context)->calls;
  throw 7;
}

TEST_F(Exports, ThrowingDrawCallbackLosesNoBlock) {
  Drawn drawn;
  ASSERT_EQ(SetMicrophoneTestDrawWaveCallBack(&ThrowingDraw, &drawn), 1);
  ProbeError error;
  ASSERT_EQ(StartTestMicrophone(&error), 1);
  for (int value : {11, 12, 13, 14}) {
    ASSERT_TRUE(audio.waveIn.Capture(static_cast<std::int16_t>(value)));
    ASSERT_TRUE(audio.waveOut.CompleteOne());
    EXPECT_EQ(audio.waveOut.played.back()[0], -value);  // stored in the ring all the same
  }
  EXPECT_EQ(drawn.calls, 4);
  EXPECT_EQ(audio.waveIn.queued.size(), 3U);  // and recording again
  EXPECT_EQ(StopTestMicrophone(), 1);
}

TEST_F(Exports, SpeakerVolumeBounds) {
  audio.endpoints.level = 0.289F;
  int volume = 77;
  EXPECT_EQ(GetSpeakerVolume(&volume), 1);
  EXPECT_EQ(volume, 28);
  EXPECT_EQ(SetSpeakerVolume(101), 1);
  EXPECT_EQ(SetSpeakerVolume(-1), 1);
  EXPECT_TRUE(audio.endpoints.calls.empty());
  EXPECT_EQ(SetSpeakerVolume(0), 1);
  EXPECT_TRUE(audio.endpoints.muted);
  EXPECT_EQ(audio.endpoints.comDepth, 0);
  audio.endpoints.volumeOpens = false;
  volume = 77;
  EXPECT_EQ(GetSpeakerVolume(&volume), 0);
  EXPECT_EQ(volume, 77);
  EXPECT_EQ(SetSpeakerVolume(50), 1);  // the failure is not reported
}

TEST_F(Exports, MicrophoneVolumeWithoutMixer) {
  audio.mixer.present = false;
  int minimum = 5, maximum = 5, volume = 5;
  EXPECT_EQ(GetMicrophoneVolumeRange(&minimum, &maximum), 1);
  EXPECT_EQ(GetMicrophoneVolumeRange(nullptr, nullptr), 1);
  EXPECT_EQ(GetMicrophoneVolume(&volume), 1);
  EXPECT_EQ(minimum, -1);
  EXPECT_EQ(maximum, -1);
  EXPECT_EQ(volume, -1);
  EXPECT_EQ(SetMicrophoneVolume(0), 1);
  EXPECT_EQ(SetMicrophoneVolume(10), 1);
  EXPECT_EQ(audio.mixer.sets, 0);
}

TEST_F(Exports, EndpointListsShareOneMapEach) {
  AudioDeviceMap* devices = reinterpret_cast<AudioDeviceMap*>(0x1);
  EXPECT_EQ(GetLocalMicrophone(&devices), 0);
  EXPECT_EQ(GetLocalSystemSpeaker(&devices), 0);
  EXPECT_EQ(devices, reinterpret_cast<AudioDeviceMap*>(0x1));
  audio.endpoints.capture = {{L"{1}", L"Mic one"}, {L"{2}", L"Mic two"}};
  audio.endpoints.defaultCapture = L"Mic two";
  ASSERT_EQ(GetLocalMicrophone(&devices), 1);
  AudioDeviceMap* first = devices;
  EXPECT_EQ(first->size(), 2U);
  EXPECT_EQ(first->at(L"{2}").isDefault, 1U);
  audio.endpoints.capture = {{L"{3}", L"Mic three"}};
  ASSERT_EQ(GetLocalMicrophone(&devices), 1);
  EXPECT_EQ(devices, first);
  ASSERT_EQ(devices->size(), 1U);
  EXPECT_EQ(devices->begin()->first, L"{3}");
  EXPECT_EQ(audio.endpoints.comDepth, 0);
}

TEST_F(Exports, FailedSpeakerStartLeavesCaptureRunning) {
  audio.waveOut.openFails = true;
  ProbeError error;
  EXPECT_EQ(StartTestMicrophone(&error), 0);
  EXPECT_EQ(error.code, kSpeakerOpenFailed);
  EXPECT_EQ(error.message, text::kOpenSpeaker);
  EXPECT_TRUE(Tester()->Input().Running());
  EXPECT_FALSE(Tester()->LoopbackActive());
  EXPECT_FALSE(audio.waveOut.threadAlive);
  EXPECT_EQ(StopTestMicrophone(), 1);
  EXPECT_FALSE(Tester()->Input().Running());
  EXPECT_FALSE(audio.waveIn.open);
}

TEST_F(Exports, StartFailureReportsTheMostRecentEngineText) {
  // An earlier, unrelated engine failure (a block that could not be queued) ...
  audio.waveIn.addFails = true;
  ProbeError ignored;
  ASSERT_EQ(StartTestMicrophone(&ignored), 1);
  StopTestMicrophone();
  ASSERT_EQ(EngineErrorText(), text::kAddInput);
  // ... is what a later failure to start the thread reports with code 1.
  audio.waveIn.startThreadFails = true;
  ProbeError error;
  EXPECT_EQ(StartTestMicrophone(&error), 0);
  EXPECT_EQ(error.code, kMicrophoneOpenFailed);
  EXPECT_EQ(error.message, text::kAddInput);
}

TEST_F(Exports, StartWhileRunningIsRefusedWithCodeOne) {
  ProbeError error;
  ASSERT_EQ(StartTestMicrophone(&error), 1);
  ProbeError second;
  EXPECT_EQ(StartTestMicrophone(&second), 0);
  EXPECT_EQ(second.code, kMicrophoneOpenFailed);
  EXPECT_EQ(audio.waveIn.threadsStarted, 1);
  EXPECT_TRUE(Tester()->LoopbackActive());
  StopTestMicrophone();
}

TEST_F(Exports, DeviceSwitchStopsThenRestarts) {
  ProbeError error;
  ASSERT_EQ(StartTestMicrophone(&error), 1);
  audio.endpoints.makeDefaultResult = static_cast<std::int32_t>(0x80040154U);
  EXPECT_EQ(SetSpecifiedIDMicrophone(L"{m}", &error), 0);
  EXPECT_EQ(error.code, kSetMicrophoneFailed);
  EXPECT_EQ(error.message, kSetMicrophoneFailedText);
  EXPECT_FALSE(Tester()->Input().Running());
  ProbeError speakerError;
  EXPECT_EQ(SetSpecifiedIDSystemSpeaker(L"{s}", &speakerError), 0);
  EXPECT_EQ(speakerError.code, kSetSpeakerFailed);
  EXPECT_EQ(speakerError.message, kSetSpeakerFailedText);
  audio.endpoints.makeDefaultResult = 0;
  ProbeError none;
  EXPECT_EQ(SetSpecifiedIDSystemSpeaker(L"{s}", &none), 1);
  EXPECT_EQ(none.code, 0);
  EXPECT_TRUE(Tester()->LoopbackActive());
  EXPECT_EQ(audio.endpoints.madeDefault, (std::vector<std::wstring>{L"{m}", L"{s}", L"{s}"}));
  EXPECT_EQ(audio.waveIn.threadsStarted, 2);
  StopTestMicrophone();
}

TEST_F(Exports, AfterReleaseEveryExportDoesNothing) {
  ProbeError error;
  ASSERT_EQ(StartTestMicrophone(&error), 1);
  ReleaseMicDllRes();  // stops the running test on its way
  EXPECT_FALSE(audio.waveIn.threadAlive);
  EXPECT_FALSE(audio.waveOut.open);
  ReleaseMicDllRes();
  int value = 9;
  AudioDeviceMap* devices = nullptr;
  EXPECT_EQ(SetMicrophoneTestDrawWaveCallBack(&Draw, nullptr), 0);
  EXPECT_EQ(SetMicrophoneTestErrorCallBack(&NoError, nullptr), 0);
  EXPECT_EQ(GetMicrophoneVolumeRange(&value, &value), 0);
  EXPECT_EQ(GetMicrophoneVolume(&value), 0);
  EXPECT_EQ(SetMicrophoneVolume(5), 0);
  EXPECT_EQ(GetSpeakerVolume(&value), 0);
  EXPECT_EQ(SetSpeakerVolume(5), 0);
  EXPECT_EQ(StopTestMicrophone(), 0);
  EXPECT_EQ(GetLocalMicrophone(&devices), 0);
  EXPECT_EQ(GetLocalSystemSpeaker(&devices), 0);
  EXPECT_EQ(SetSpecifiedIDMicrophone(L"{m}", &error), 0);
  EXPECT_EQ(SetSpecifiedIDSystemSpeaker(L"{s}", &error), 0);
  ProbeError late;
  EXPECT_EQ(StartTestMicrophone(&late), 0);
  EXPECT_EQ(late.code, kMicrophoneOpenFailed);
  EXPECT_EQ(value, 9);
  EXPECT_EQ(devices, nullptr);
  EXPECT_EQ(audio.waveIn.threadsStarted, 1);
}

}  // namespace
}  // namespace micprobe::test
