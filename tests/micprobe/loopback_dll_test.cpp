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

// The most a stop's own waits take: each direction waits up to 100 ms for its blocks, pauses
// after the close (10 ms input, 30 ms output) and waits up to 500 ms for its thread. Wine's
// reset and close come on top; they need the CPU, so on a starved machine they last as long as
// the process goes without it (a close took up to 515 ms at load 20, a whole stop 2.6 s at 30).
// A stop is held to this bound plus the time the process was without the CPU during it; forced
// ends are counted apart, by the threads' exit codes.
constexpr double kStopBoundMs = 2 * 100.0 + 10.0 + 30.0 + 2 * 500.0;

// The tone must cover this share of the speaker's blocks where the process gets the CPU as the
// audio path needs it. Wine runs its own audio threads (the ones that feed the sound server)
// at the process's priority, whatever priority ours ask for: once the process goes without
// the CPU for more than kStarvedShare of the run, in gaps of 20 ms and more, the sound
// server's stream runs dry between them, and only the tone's arrival is checked.
constexpr double kToneShare = 0.9;
constexpr double kStarvedShare = 0.1;
constexpr double kStallMs = 20.0;

double Sum(const std::vector<double>& values) {
  double sum = 0.0;
  for (double value : values) {
    sum += value;
  }
  return sum;
}

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
  const double startedAt = NowMs();
  StallWatch stalls(kStallMs);
  NewThreads engineThreads;
  ASSERT_EQ(StartTestMicrophone(&error), 1) << error.code;
  engineThreads.Open();
  Sleep(3000);
  const std::vector<double> gaps = stalls.Stop();
  const double watchedMs = NowMs() - startedAt;
  const double stopStart = NowMs();
  StallWatch stopStalls(kStallMs);
  EXPECT_EQ(StopTestMicrophone(), 1);
  const double stopMs = NowMs() - stopStart;
  const double stopStalledMs = Sum(stopStalls.Stop());
  EXPECT_LT(stopMs - stopStalledMs, kStopBoundMs)
      << stopMs << " ms, " << stopStalledMs << " ms of them without the CPU";
  EXPECT_GE(engineThreads.Opened(), 2U);
  EXPECT_EQ(engineThreads.ForcedEnds(), 0);
  // The recorder writes late on a busy machine (seconds late, then in bursts), so its file's
  // size at the stop says nothing of where the run is in it. The run is in once the tone has
  // come and half a second of what follows it is recorded: the silence after the stop.
  std::vector<std::int16_t> speaker;
  ToneCoverage coverage;
  const double until = NowMs() + 20000.0;
  for (;;) {
    speaker = ReadRecording(log.speakerPath, recordedBefore);
    coverage = CoverageAfterOnset(speaker);
    const std::size_t toneEnd = coverage.onset + coverage.blocks * kBlockSamples;
    if ((coverage.heard && speaker.size() >= toneEnd + kRecordRate / 2) || NowMs() > until) {
      break;
    }
    Sleep(200);
  }

  std::lock_guard<std::mutex> hold(log.lock);
  ASSERT_GE(log.times.size(), 30U);
  EXPECT_TRUE(std::all_of(log.counts.begin(), log.counts.end(), [](int n) { return n == 2048; }));
  const double perSecond =
      1000.0 * static_cast<double>(log.times.size() - 1) / (log.times.back() - log.times.front());
  EXPECT_NEAR(perSecond, 44100.0 / 2048.0, 0.1 * 44100.0 / 2048.0);
  EXPECT_FALSE(log.firstBlock.empty()) << "the microphone never carried the tone";

  ASSERT_TRUE(coverage.heard) << "the tone never reached the speaker";
  ASSERT_GE(coverage.blocks, 20U);
  const double starved = Sum(gaps) / watchedMs;
  if (starved < kStarvedShare) {
    EXPECT_GE(static_cast<double>(coverage.withTone),
              kToneShare * static_cast<double>(coverage.blocks))
        << coverage.withTone << " of " << coverage.blocks
        << " blocks; without: " << ::testing::PrintToString(coverage.missing);
  }
  std::printf(
      "blocks %zu, %.2f a second, stop %.0f ms (%.0f without the CPU); "
      "speaker: tone %.0f ms after start, in %zu of %zu blocks%s\n",
      log.times.size(), perSecond, stopMs, stopStalledMs,
      1000.0 * static_cast<double>(coverage.onset) / kRecordRate, coverage.withTone,
      coverage.blocks, starved < kStarvedShare ? "" : " (not checked: the process was starved)");
  std::printf("without the CPU for %.0f%% of the run: %zu gaps over %.0f ms, longest %.0f ms\n",
              100.0 * starved, gaps.size(), kStallMs,
              gaps.empty() ? 0.0 : *std::max_element(gaps.begin(), gaps.end()));
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
  double slowestRunning = 0.0;  // less the time without the CPU
  int forcedEnds = 0;
  for (int round = 0; round < 20; ++round) {
    SCOPED_TRACE(round);
    NewThreads engineThreads;
    ASSERT_EQ(StartTestMicrophone(&error), 1) << error.code;
    engineThreads.Open();
    EXPECT_TRUE(WaitForBlocks(log, log.Size() + 2, 20000));
    const double stopStart = NowMs();
    StallWatch stopStalls(kStallMs);
    EXPECT_EQ(StopTestMicrophone(), 1);
    const double stopMs = NowMs() - stopStart;
    slowest = std::max(slowest, stopMs);
    slowestRunning = std::max(slowestRunning, stopMs - Sum(stopStalls.Stop()));
    forcedEnds += engineThreads.ForcedEnds();
  }
  EXPECT_LT(slowestRunning, kStopBoundMs);
  EXPECT_EQ(forcedEnds, 0);
  // Wine keeps a thread and a few handles of its own after some rounds; a leak of the engine's
  // would add at least one of each per round. The last round's threads may still be ending.
  WaitUntil(
      [threads, handles] { return ThreadCount() - threads < 5 && HandleCount() - handles < 10; },
      20000);
  EXPECT_LT(ThreadCount() - threads, 5);
  EXPECT_LT(HandleCount() - handles, 10);
  std::printf(
      "threads %d -> %d, handles %d -> %d, slowest stop %.0f ms (%.0f ms less the time without "
      "the CPU), forced ends %d\n",
      threads, ThreadCount(), handles, HandleCount(), slowest, slowestRunning, forcedEnds);
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
  // The switch stopped both engine threads. Not equal: a thread of Wine's that an earlier test
  // left ending may be counted in `threads` and gone now, on a busy machine.
  EXPECT_LE(ThreadCount(), threads);
  ASSERT_EQ(StartTestMicrophone(&error), 1);  // and a later start works
  EXPECT_EQ(StopTestMicrophone(), 1);
}

}  // namespace
}  // namespace micprobe::test
