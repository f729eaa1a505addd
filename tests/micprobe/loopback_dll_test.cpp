// The real MicProbe.dll under Wine against the private sound server (scripts/pulse-ctl): its
// endpoints, the loop-back from the tone-fed virtual microphone to the virtual speaker, whose
// monitor the server records, and repeated starts and stops.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <stdexcept>

#include "MicProbe.h"
#include "dll_support.h"
#include "tone_analysis.h"

namespace micprobe::test {
namespace {

// A forced thread end alone costs 500 ms of polls; a stop that ends its threads by themselves
// takes the fixed waits (about 250 ms).
constexpr double kStopWithoutForcedEndMs = 600.0;

std::string SpeakerRecording() {
  return PulseDir() + "/speaker.raw";
}

const AudioDevice* Named(const AudioDeviceMap& devices, const std::wstring& name) {
  for (const auto& entry : devices) {
    if (entry.second.name == name) {
      return &entry.second;
    }
  }
  return nullptr;
}

// Waits until the log holds `count` blocks, at most `limitMs`.
bool WaitForBlocks(BlockLog& log, std::size_t count, double limitMs) {
  const double until = NowMs() + limitMs;
  while (log.Size() < count) {
    if (NowMs() > until) {
      return false;
    }
    Sleep(5);
  }
  return true;
}

struct Daemon : ::testing::Test {
  void SetUp() override { ASSERT_FALSE(PulseDir().empty()) << "KESTREL_PULSE_DIR is not set"; }
  void TearDown() override { StopTestMicrophone(); }
};

TEST_F(Daemon, EndpointsCarryTheServersNamesAndTheDefaultIsMarked) {
  struct Case {
    const char* direction;
    int (*list)(AudioDeviceMap**);
    const wchar_t* name;
  };
  const Case cases[] = {{"capture", &GetLocalMicrophone, L"Virtual-Microphone"},
                        {"render", &GetLocalSystemSpeaker, L"Virtual-Speakers"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.direction);
    AudioDeviceMap* devices = nullptr;
    ASSERT_EQ(c.list(&devices), 1);
    ASSERT_NE(devices, nullptr);
    EXPECT_NE(Named(*devices, c.name), nullptr);
    // Wine's default endpoint of each direction is named "PulseAudio"; no other name is part
    // of that one.
    const auto defaults = std::count_if(devices->begin(), devices->end(),
                                        [](const auto& entry) { return entry.second.isDefault; });
    EXPECT_EQ(defaults, 1);
    const AudioDevice* wineDefault = Named(*devices, L"PulseAudio");
    ASSERT_NE(wineDefault, nullptr);
    EXPECT_EQ(wineDefault->isDefault, 1U);
    for (const auto& entry : *devices) {
      EXPECT_FALSE(entry.first.empty());
      EXPECT_EQ(entry.first, entry.second.id);
      std::printf("%s %ls%s\n", c.direction, entry.second.name.c_str(),
                  entry.second.isDefault ? " (default)" : "");
    }
  }
}

TEST_F(Daemon, LoopbackDeliversBlocksAtTheBlockRateAndPlaysTheTone) {
  BlockLog log;
  log.speakerPath = SpeakerRecording();
  ASSERT_EQ(SetMicrophoneTestDrawWaveCallBack(&BlockLog::Callback, &log), 1);
  const std::uint64_t recordedBefore = FileSize(log.speakerPath);
  ASSERT_GT(recordedBefore, 0U) << "the speaker's monitor is not recorded";
  ProbeError error;
  ASSERT_EQ(StartTestMicrophone(&error), 1) << error.code;
  Sleep(3000);
  const std::uint64_t recordedAfter = FileSize(log.speakerPath);
  const double stopStart = NowMs();
  EXPECT_EQ(StopTestMicrophone(), 1);
  const double stopMs = NowMs() - stopStart;
  EXPECT_LT(stopMs, kStopWithoutForcedEndMs);

  std::lock_guard<std::mutex> hold(log.lock);
  ASSERT_GE(log.times.size(), 30U);
  EXPECT_TRUE(std::all_of(log.counts.begin(), log.counts.end(), [](int n) { return n == 2048; }));
  const double perSecond =
      1000.0 * static_cast<double>(log.times.size() - 1) / (log.times.back() - log.times.front());
  EXPECT_NEAR(perSecond, 44100.0 / 2048.0, 0.1 * 44100.0 / 2048.0);
  EXPECT_FALSE(log.firstBlock.empty()) << "the microphone never carried the tone";

  const auto speaker = ReadRecording(log.speakerPath, recordedBefore, recordedAfter);
  const ToneCoverage coverage = CoverageAfterOnset(speaker);
  ASSERT_TRUE(coverage.heard) << "the tone never reached the speaker";
  ASSERT_GE(coverage.blocks, 20U);
  EXPECT_GE(static_cast<double>(coverage.withTone), 0.9 * static_cast<double>(coverage.blocks))
      << coverage.withTone << " of " << coverage.blocks
      << " blocks; without: " << ::testing::PrintToString(coverage.missing);
  std::printf(
      "blocks %zu, %.2f a second, stop %.0f ms; speaker: tone %.0f ms after start, "
      "in %zu of %zu blocks\n",
      log.times.size(), perSecond, stopMs,
      1000.0 * static_cast<double>(coverage.onset) / kRecordRate, coverage.withTone,
      coverage.blocks);
}

TEST_F(Daemon, TwentyStartsAndStopsLeaveNoThreadOrHandle) {
  BlockLog log;
  ASSERT_EQ(SetMicrophoneTestDrawWaveCallBack(&BlockLog::Callback, &log), 1);
  ProbeError error;
  // A first round lets winmm and the sound server's client set up what they keep.
  ASSERT_EQ(StartTestMicrophone(&error), 1);
  ASSERT_TRUE(WaitForBlocks(log, 2, 20000));
  StopTestMicrophone();
  Sleep(200);
  const int threads = ThreadCount();
  const int handles = HandleCount();
  double slowest = 0.0;
  for (int round = 0; round < 20; ++round) {
    SCOPED_TRACE(round);
    ASSERT_EQ(StartTestMicrophone(&error), 1) << error.code;
    EXPECT_TRUE(WaitForBlocks(log, log.Size() + 2, 20000));
    const double stopStart = NowMs();
    EXPECT_EQ(StopTestMicrophone(), 1);
    slowest = std::max(slowest, NowMs() - stopStart);
  }
  EXPECT_LT(slowest, kStopWithoutForcedEndMs);
  // Wine keeps a thread and a few handles of its own after some rounds; a leak of the engine's
  // would add at least one of each per round. The last round's threads may still be ending.
  WaitUntil(
      [threads, handles] { return ThreadCount() - threads < 5 && HandleCount() - handles < 10; },
      20000);
  EXPECT_LT(ThreadCount() - threads, 5);
  EXPECT_LT(HandleCount() - handles, 10);
  std::printf("threads %d -> %d, handles %d -> %d, slowest stop %.0f ms\n", threads, ThreadCount(),
              handles, HandleCount(), slowest);
}

// Counts the blocks it is given and throws at every one.
int ThrowingCallback(short*, int, void* context) {
  ++*static_cast<std::atomic<int>*>(context);
  throw std::runtime_error("drawing failed");
}

TEST_F(Daemon, ThrowingWaveCallbackEndsNeitherTheRecordingNorTheProgram) {
  std::atomic<int> calls{0};
  ASSERT_EQ(SetMicrophoneTestDrawWaveCallBack(&ThrowingCallback, &calls), 1);
  const int threads = ThreadCount();
  ProbeError error;
  ASSERT_EQ(StartTestMicrophone(&error), 1) << error.code;
  // More blocks than are in flight: every one went round again after its callback threw.
  EXPECT_TRUE(WaitUntil([&calls] { return calls > 3 * 3; }, 20000)) << calls;
  EXPECT_EQ(StopTestMicrophone(), 1);
  EXPECT_TRUE(WaitUntil([threads] { return ThreadCount() <= threads; }, 20000));
  BlockLog log;  // the later tests' callback must not count into this test's counter
  ASSERT_EQ(SetMicrophoneTestDrawWaveCallBack(&BlockLog::Callback, &log), 1);
  EXPECT_EQ(StartTestMicrophone(&error), 1);
  EXPECT_TRUE(WaitUntil([&log] { return log.Size() >= 2; }, 20000));
  EXPECT_EQ(StopTestMicrophone(), 1);
}

TEST_F(Daemon, VolumesAnswerWhereWineImplementsThem) {
  int volume = -5;
  EXPECT_EQ(GetSpeakerVolume(&volume), 1);
  EXPECT_EQ(volume, 100);  // Wine's master level is always 1.0
  // Setting is not implemented there: reported as success all the same, nothing crashes.
  for (int percent : {30, 0, 100}) {
    EXPECT_EQ(SetSpeakerVolume(percent), 1);
  }
  int minimum = -5, maximum = -5, micVolume = -5;
  EXPECT_EQ(GetMicrophoneVolumeRange(&minimum, &maximum), 1);
  EXPECT_EQ(GetMicrophoneVolume(&micVolume), 1);
  EXPECT_EQ(SetMicrophoneVolume(1000), 1);
  // Either the control was found (its range) or not (-1 each).
  EXPECT_TRUE((minimum == -1 && maximum == -1) || minimum <= maximum);
  std::printf("speaker %d; microphone %d in %d..%d\n", volume, micVolume, minimum, maximum);
}

TEST_F(Daemon, WithoutThePolicyObjectADeviceSwitchFailsAndLeavesTheTestStopped) {
  AudioDeviceMap* mics = nullptr;
  AudioDeviceMap* speakers = nullptr;
  ASSERT_EQ(GetLocalMicrophone(&mics), 1);
  ASSERT_EQ(GetLocalSystemSpeaker(&speakers), 1);
  const AudioDevice* mic = Named(*mics, L"Virtual-Microphone");
  const AudioDevice* speaker = Named(*speakers, L"Virtual-Speakers");
  ASSERT_NE(mic, nullptr);
  ASSERT_NE(speaker, nullptr);
  const std::wstring micId = mic->id, speakerId = speaker->id;
  const int threads = ThreadCount();

  ProbeError error;
  ASSERT_EQ(StartTestMicrophone(&error), 1);
  ProbeError micError;
  EXPECT_EQ(SetSpecifiedIDMicrophone(micId.c_str(), &micError), 0);
  EXPECT_EQ(micError.code, kSetMicrophoneFailed);
  EXPECT_EQ(micError.message, kSetMicrophoneFailedText);
  ProbeError speakerError;
  EXPECT_EQ(SetSpecifiedIDSystemSpeaker(speakerId.c_str(), &speakerError), 0);
  EXPECT_EQ(speakerError.code, kSetSpeakerFailed);
  EXPECT_EQ(speakerError.message, kSetSpeakerFailedText);
  EXPECT_EQ(ThreadCount(), threads);          // the switch stopped both engine threads
  ASSERT_EQ(StartTestMicrophone(&error), 1);  // and a later start works
  EXPECT_EQ(StopTestMicrophone(), 1);
}

}  // namespace
}  // namespace micprobe::test
