// The capture and playback state machines and the ring, driven block by block through fake
// wave devices.
#include <gtest/gtest.h>

#include <cstring>

#include "core/engine_error.h"
#include "core/messages.h"
#include "engine/pipe.h"
#include "fakes.h"

namespace micprobe::test {
namespace {

struct PipeFixture : ::testing::Test {
  FakeAudio audio;
  CPipe pipe{audio.waveIn, audio.waveOut};

  void StartBoth() {
    ASSERT_TRUE(pipe.StartCapture());
    ASSERT_TRUE(pipe.StartPlayback());
    pipe.SetLoopbackActive(true);
  }
  void StopBoth() {
    pipe.StopCapture();
    pipe.StopPlayback();
    pipe.SetLoopbackActive(false);
  }
};

TEST_F(PipeFixture, PrimedBlocksAreSilenceAndCapturedBlocksPlayInverted) {
  StartBoth();
  EXPECT_EQ(audio.waveIn.queued.size(), 3U);
  ASSERT_EQ(audio.waveOut.played.size(), 3U);
  for (const auto& block : audio.waveOut.played) {
    ASSERT_EQ(block.size(), 2048U);
    EXPECT_EQ(block[0], 0);
    EXPECT_EQ(block[2047], 0);
  }
  for (int value : {1000, -32768, 32767}) {
    ASSERT_TRUE(audio.waveIn.Capture(static_cast<std::int16_t>(value)));
    ASSERT_TRUE(audio.waveOut.CompleteOne());
    const auto expected = static_cast<std::int16_t>(value == -32768 ? -32768 : -value);
    EXPECT_EQ(audio.waveOut.played.back()[0], expected);
    EXPECT_EQ(audio.waveOut.played.back()[2047], expected);
  }
  // Captured blocks are queued again; three stay in flight on both sides.
  EXPECT_EQ(audio.waveIn.queued.size(), 3U);
  EXPECT_EQ(pipe.Output().Outstanding(), 3);
  StopBoth();
  EXPECT_EQ(pipe.Input().Outstanding(), 0);
  EXPECT_EQ(pipe.Output().Outstanding(), 0);
  EXPECT_FALSE(audio.waveIn.open);
  EXPECT_FALSE(audio.waveOut.open);
  EXPECT_FALSE(audio.waveIn.threadAlive);
  EXPECT_FALSE(audio.waveOut.threadAlive);
  EXPECT_EQ(audio.waveIn.terminated + audio.waveOut.terminated, 0);
}

// A played block that comes back before its slot was filled (the recording is late, or the
// reader has caught up with it on the first pass) plays silence and stays in flight; the echo
// then goes on from that very slot, none skipped.
TEST(PipeEmptySlot, LateRecordingPlaysSilenceAndLosesNoBlock) {
  struct Case {
    const char* name;
    std::vector<int> steps;           // > 0: capture that value; 0: one played block comes back
    std::vector<std::int16_t> heard;  // what the blocks coming back played next, in order
  };
  const Case cases[] = {
      {"one return before the first block", {0, 7, 0, 0}, {0, -7, 0}},
      {"all three primed blocks back first", {0, 0, 0, 5, 6, 0, 0, 0}, {0, 0, 0, -5, -6, 0}},
      {"a dozen returns before the first block",
       {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 9, 0},
       {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, -9}},
      // The reader overtakes the writer; the block that played -3 does not play it again.
      {"reader ahead on the first pass", {3, 0, 0, 0, 0, 4, 0}, {-3, 0, 0, 0, -4}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeAudio audio;
    CPipe pipe{audio.waveIn, audio.waveOut};
    ASSERT_TRUE(pipe.StartCapture());
    ASSERT_TRUE(pipe.StartPlayback());
    pipe.SetLoopbackActive(true);
    for (int step : c.steps) {
      if (step > 0) {
        ASSERT_TRUE(audio.waveIn.Capture(static_cast<std::int16_t>(step)));
      } else {
        ASSERT_TRUE(audio.waveOut.CompleteOne());
      }
      EXPECT_EQ(pipe.Output().Outstanding(), 3);
    }
    std::vector<std::int16_t> heard;
    for (std::size_t i = 3; i < audio.waveOut.played.size(); ++i) {
      const auto& block = audio.waveOut.played[i];
      ASSERT_EQ(block.size(), 2048U);
      EXPECT_EQ(block.front(), block.back());
      heard.push_back(block.front());
    }
    EXPECT_EQ(heard, c.heard);
    pipe.StopCapture();
    pipe.StopPlayback();
    EXPECT_EQ(pipe.Output().Outstanding(), 0);
  }
}

TEST_F(PipeFixture, RingWrapsAndAReaderAheadReplaysFullSlots) {
  StartBoth();
  for (std::int16_t i = 1; i <= 12; ++i) {  // slots 0 and 1 written twice
    ASSERT_TRUE(audio.waveIn.Capture(i));
  }
  // The reader takes slots 0..9 (values 11, 12, 3..10), then wraps to slot 0 again.
  std::vector<std::int16_t> heard;
  for (int i = 0; i < 12; ++i) {
    ASSERT_TRUE(audio.waveOut.CompleteOne());
    heard.push_back(static_cast<std::int16_t>(-audio.waveOut.played.back()[0]));
  }
  EXPECT_EQ(heard, (std::vector<std::int16_t>{11, 12, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
  StopBoth();
}

TEST_F(PipeFixture, InactiveLoopbackKeepsNoBlocksAndLeavesPlayedOnesUnchanged) {
  ASSERT_TRUE(pipe.StartCapture());
  ASSERT_TRUE(pipe.StartPlayback());
  ASSERT_TRUE(audio.waveIn.Capture(5));
  ASSERT_TRUE(audio.waveOut.CompleteOne());
  EXPECT_EQ(audio.waveOut.played.back()[0], 0);
  pipe.SetLoopbackActive(true);
  ASSERT_TRUE(audio.waveOut.CompleteOne());  // slot 0 still empty: silence, still in flight
  EXPECT_EQ(audio.waveOut.played.back()[0], 0);
  EXPECT_EQ(pipe.Output().Outstanding(), 3);
  StopBoth();
}

TEST_F(PipeFixture, StartWhileCapturingIsRefusedAndKeepsTheRing) {
  StartBoth();
  ASSERT_TRUE(audio.waveIn.Capture(9));
  EXPECT_FALSE(pipe.StartCapture());
  EXPECT_EQ(audio.waveIn.threadsStarted, 1);
  ASSERT_TRUE(audio.waveOut.CompleteOne());
  EXPECT_EQ(audio.waveOut.played.back()[0], -9);  // slot 0 survived
  StopBoth();
}

TEST_F(PipeFixture, CaptureStartFailuresRecordTheirTextAndLeaveNoThread) {
  struct Case {
    const char* name;
    void (*arrange)(FakeWaveIn&);
    const char* text;
    bool starts;
  };
  const Case cases[] = {
      {"open", [](FakeWaveIn& w) { w.openFails = true; }, text::kOpenMicrophone, false},
      {"start", [](FakeWaveIn& w) { w.startFails = true; }, text::kStartInput, false},
      {"prepare", [](FakeWaveIn& w) { w.prepareFails = true; }, text::kPrepareInput, true},
      {"add", [](FakeWaveIn& w) { w.addFails = true; }, text::kAddInput, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeAudio fresh;
    CPipe onePipe(fresh.waveIn, fresh.waveOut);
    c.arrange(fresh.waveIn);
    EXPECT_EQ(onePipe.StartCapture(), c.starts);
    EXPECT_EQ(EngineErrorText(), c.text);
    EXPECT_EQ(fresh.waveIn.threadAlive, c.starts);
    EXPECT_EQ(fresh.waveIn.open, c.starts);
    onePipe.StopCapture();
    EXPECT_FALSE(fresh.waveIn.threadAlive);
  }
}

TEST_F(PipeFixture, FailedResetLeavesDeviceAndThreadAndTheNextStartFails) {
  StartBoth();
  audio.waveIn.resetFails = true;
  pipe.StopCapture();
  EXPECT_EQ(EngineErrorText(), text::kResetInput);
  EXPECT_FALSE(pipe.Input().Running());
  EXPECT_TRUE(audio.waveIn.open);
  EXPECT_TRUE(audio.waveIn.threadAlive);
  EXPECT_FALSE(pipe.StartCapture());
  audio.waveIn.resetFails = false;
  pipe.StopPlayback();
  // The pipe's destruction ends the thread; the fake frees the blocks the device still held.
}

TEST_F(PipeFixture, ThreadIgnoringQuitIsTerminatedAndTheNextStartWorks) {
  StartBoth();
  audio.waveIn.threadIgnoresQuit = true;
  audio.waveOut.threadIgnoresQuit = true;
  StopBoth();
  EXPECT_EQ(audio.waveIn.terminated, 1);
  EXPECT_EQ(audio.waveOut.terminated, 1);
  EXPECT_EQ(pipe.Input().ForcedEnds(), 1);
  EXPECT_EQ(pipe.Output().ForcedEnds(), 1);
  EXPECT_FALSE(pipe.Input().ThreadStarted());
  EXPECT_FALSE(pipe.Output().ThreadStarted());
  audio.waveIn.threadIgnoresQuit = false;
  audio.waveOut.threadIgnoresQuit = false;
  StartBoth();
  ASSERT_TRUE(audio.waveIn.Capture(3));
  ASSERT_TRUE(audio.waveOut.CompleteOne());
  EXPECT_EQ(audio.waveOut.played.back()[0], -3);
  StopBoth();
  EXPECT_EQ(audio.waveIn.terminated, 1);
}

TEST(StreamFaults, EachDirectionRecordsItsOwnTextAndAnUnplayedBlockNone) {
  struct Case {
    const char* name;
    bool render;
    StreamFault fault;
    const char* text;  // null: the earlier text stays
  };
  const Case cases[] = {
      {"in memory", false, StreamFault::kOutOfMemory, text::kOutOfMemory},
      {"in prepare", false, StreamFault::kPrepare, text::kPrepareInput},
      {"in queue", false, StreamFault::kQueue, text::kAddInput},
      {"in take back", false, StreamFault::kUnprepare, text::kUnprepareInput},
      {"out memory", true, StreamFault::kOutOfMemory, text::kOutOfMemory},
      {"out prepare", true, StreamFault::kPrepare, text::kPrepareOutput},
      {"out take back", true, StreamFault::kUnprepare, text::kUnprepareOutput},
      {"out queue", true, StreamFault::kQueue, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeAudio fresh;
    CPipe onePipe(fresh.waveIn, fresh.waveOut);
    ASSERT_TRUE(onePipe.StartCapture());
    ASSERT_TRUE(onePipe.StartPlayback());
    RecordEngineError("earlier");
    (c.render ? static_cast<FakeStream&>(fresh.waveOut) : fresh.waveIn).Fault(c.fault);
    EXPECT_EQ(EngineErrorText(), c.text != nullptr ? c.text : "earlier");
  }
}

TEST_F(PipeFixture, FailedCloseRecordsItsTextAndStillEndsTheThread) {
  StartBoth();
  audio.waveIn.closeFails = true;
  pipe.StopCapture();
  EXPECT_EQ(EngineErrorText(), text::kCloseInput);
  EXPECT_FALSE(pipe.Input().ThreadStarted());
  EXPECT_FALSE(audio.waveIn.threadAlive);
  EXPECT_EQ(pipe.Input().Outstanding(), 0);
  // The device it could not close refuses the next open, which says so.
  EXPECT_FALSE(pipe.StartCapture());
  EXPECT_EQ(EngineErrorText(), text::kOpenMicrophone);
  pipe.StopPlayback();
}

// The stop's result per direction: what it returns, the text it leaves, whether the thread
// stays. The output records no text of its own for a failed reset or close.
TEST(StopResults, EachDirectionAnswersAndRecordsAsItsOwn) {
  struct Case {
    const char* name;
    bool render, resetFails, closeFails;
    bool returned;     // the direction's Stop()
    const char* text;  // null: the earlier text stays
    bool threadStays;
  };
  const Case cases[] = {
      {"in ok", false, false, false, true, nullptr, false},
      {"in reset fails", false, true, false, false, text::kResetInput, true},
      {"in close fails", false, false, true, true, text::kCloseInput, false},
      {"out ok", true, false, false, true, nullptr, false},
      {"out reset fails", true, true, false, false, nullptr, true},
      {"out close fails", true, false, true, true, nullptr, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeAudio fresh;
    CPipe onePipe(fresh.waveIn, fresh.waveOut);
    ASSERT_TRUE(onePipe.StartCapture());
    ASSERT_TRUE(onePipe.StartPlayback());
    FakeStream& stream = c.render ? static_cast<FakeStream&>(fresh.waveOut) : fresh.waveIn;
    stream.resetFails = c.resetFails;
    stream.closeFails = c.closeFails;
    RecordEngineError("earlier");
    const bool returned = c.render ? onePipe.Output().Stop() : onePipe.Input().Stop();
    EXPECT_EQ(returned, c.returned);
    EXPECT_EQ(EngineErrorText(), c.text != nullptr ? c.text : "earlier");
    EXPECT_EQ(c.render ? onePipe.Output().ThreadStarted() : onePipe.Input().ThreadStarted(),
              c.threadStays);
    // A second stop finds nothing running and changes nothing.
    RecordEngineError("later");
    EXPECT_FALSE(c.render ? onePipe.Output().Stop() : onePipe.Input().Stop());
    EXPECT_EQ(EngineErrorText(), "later");
    stream.resetFails = false;
  }
}

TEST(SampleInversion, EveryValueIncludingTheExtremes) {
  const std::int16_t in[] = {0, 1, -1, 32767, -32767, -32768, 12345};
  const std::int16_t out[] = {0, -1, 1, -32767, 32767, -32768, -12345};
  char bytes[sizeof in];
  std::memcpy(bytes, in, sizeof in);
  InvertSamples(bytes, sizeof bytes);
  std::int16_t result[7];
  std::memcpy(result, bytes, sizeof result);
  for (int i = 0; i < 7; ++i) {
    EXPECT_EQ(result[i], out[i]) << in[i];
  }
}

TEST(Buffers, OwnedViewAndNullView) {
  CBuffer owned(4096, true);
  EXPECT_NE(owned.data, nullptr);
  EXPECT_EQ(owned.length, 4096U);
  EXPECT_EQ(owned.full, 0U);
  char memory[16];
  CBuffer view(memory, 16);
  EXPECT_EQ(view.data, memory);
  EXPECT_FALSE(view.owns);
  CBuffer none(nullptr, 16);
  EXPECT_EQ(none.length, 0U);
}

}  // namespace
}  // namespace micprobe::test
