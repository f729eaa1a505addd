// ReleaseMicDllRes while the loop-back runs, through the real DLL under Wine with the sound
// server: the running threads end, and every later export answers 0 without touching the
// freed tester. A program of its own, since the tester is gone afterwards.
#include <windows.h>

#include <gtest/gtest.h>

#include "MicProbe.h"
#include "dll_support.h"

namespace micprobe::test {
namespace {

void NoError(void*) {}

TEST(Release, WhileRunningEndsTheThreadsAndLaterExportsDoNothing) {
  BlockLog log;
  ASSERT_EQ(SetMicrophoneTestDrawWaveCallBack(&BlockLog::Callback, &log), 1);
  ProbeError error;
  // winmm and the sound server's client start threads of their own on first use; the engine's
  // are counted after one round.
  ASSERT_EQ(StartTestMicrophone(&error), 1) << error.code;
  StopTestMicrophone();
  const int threads = ThreadCount();
  ASSERT_EQ(StartTestMicrophone(&error), 1) << error.code;
  Sleep(300);
  EXPECT_GT(ThreadCount(), threads);
  ReleaseMicDllRes();
  const std::size_t drawn = log.Size();
  // The engine's threads end after the release returns; a loaded machine may take a while.
  // Wine may meanwhile end a helper thread of its own, so the count can fall below the one
  // before; any engine thread left would keep it above.
  EXPECT_TRUE(WaitUntil([threads] { return ThreadCount() <= threads; }, 20000))
      << ThreadCount() << " threads, " << threads << " before";
  EXPECT_EQ(log.Size(), drawn);  // no block reaches the callback any more
  ReleaseMicDllRes();

  int value = 9;
  AudioDeviceMap* devices = nullptr;
  EXPECT_EQ(SetMicrophoneTestDrawWaveCallBack(&BlockLog::Callback, &log), 0);
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
  EXPECT_LE(ThreadCount(), threads);
}

}  // namespace
}  // namespace micprobe::test
