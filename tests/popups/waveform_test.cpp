// The waveform: the sample-to-bar rule, the frame divisor, what a paint draws, its colours under
// high contrast (and the score ring's), and the audio popup's wave buffer between the capture
// thread and the paint.
#include <gtest/gtest.h>

#include <thread>

#include "audio/audio_popup.h"
#include "controls/audio_animator.h"
#include "controls/wave_bars.h"
#include "popup_fakes.h"

namespace popups {
namespace {

using toolkit::headless::DrawOp;

TEST(WaveBars, SampleToBar) {
  struct Case {
    short sample;
    int height, top, bottom;
  } cases[] = {
      {16384, 130, 105, 235},                           // full bar
      {-16384, -130, 235, 105},                         // drawn upwards
      {32767, 130, 105, 235},                           // clamped
      {-32768, -130, 235, 105},                         // clamped, and no overflow
      {100, 0, 170, 170},                               // 0.79 truncates to nothing
      {-100, 0, 170, 170},                              // truncated toward zero, not down
      {1000, 7, 166, 173},      {-1000, -7, 173, 166},  // (340 + 7) / 2 truncates
      {16383, 129, 105, 234},
  };
  for (const auto& c : cases) {
    WaveBar bar = BarFor(3, c.sample);
    EXPECT_EQ(bar.height, c.height) << c.sample;
    EXPECT_EQ(bar.top, c.top) << c.sample;
    EXPECT_EQ(bar.bottom, c.bottom) << c.sample;
    EXPECT_EQ(bar.x, 240) << c.sample;
  }
  EXPECT_EQ(BarFor(0, 0).x, 225);
  EXPECT_EQ(BarFor(59, 0).x, 520);
}

TEST(WaveBars, FrameDivisorNeverZero) {
  struct Case {
    int speed, divisor;
  } cases[] = {{40, 4}, {30, 3}, {10, 1}, {9, 1}, {0, 1}, {-20, 1}, {45, 4}};
  for (const auto& c : cases)
    EXPECT_EQ(FrameDivisor(c.speed), c.divisor) << c.speed;
}

class Waveform : public testing::PopupTest {
 protected:
  void Open() {
    popup = std::make_unique<CPopWndAudio>(ui, audio, results, *codePage);
    ASSERT_TRUE(popup->Create());
    popup->LoadAudioDevices();
    animator = popup->FindChildByName2<SMicAudioAnimator>(L"AudioAnimator");
    ASSERT_NE(animator, nullptr);
  }
  std::vector<DrawOp> Lines() {
    std::vector<DrawOp> lines;
    auto* window = static_cast<toolkit::headless::HeadlessWindow*>(popup->GetNative());
    for (const auto& op : window->Paint().ops) {
      if (op.kind == DrawOp::kLine && op.rect.x >= 225 && op.rect.w == 0)
        lines.push_back(op);
    }
    return lines;
  }
  testing::FakeAudio audio;
  testing::FakeResults results;
  std::unique_ptr<CPopWndAudio> popup;
  SMicAudioAnimator* animator = nullptr;
};

TEST_F(Waveform, LayoutAttributesReachTheControl) {
  Open();
  EXPECT_EQ(animator->GetSpeed(), 40);
  EXPECT_EQ(animator->GetSteps(), 20);
  toolkit::Color color = animator->GetWaveColor();
  EXPECT_EQ((std::vector<int>{color.r, color.g, color.b, color.a}),
            (std::vector<int>{255, 255, 255, 0xe0}));
  EXPECT_FALSE(animator->SetAttribute(L"WaveColor", L""));
  struct Case {
    const wchar_t* value;
    int speed;
  } cases[] = {{L"0x50", 80}, {L"25", 25}, {L"0X1f", 31}, {L"4x", 31}, {L"0x", 31}, {L"", 31}};
  for (const auto& c : cases) {
    EXPECT_TRUE(animator->SetAttribute(L"SPEED", c.value));
    EXPECT_EQ(animator->GetSpeed(), c.speed) << c.value;
  }
  EXPECT_EQ(ui.GetDiagnostics().size(), 3u);  // each malformed value reported
}

TEST_F(Waveform, RepaintsOnEveryFourthTickAndSafelyBelowTen) {
  Open();
  animator->Start(popup.get());
  for (int i = 0; i < 10; ++i)
    animator->OnNextFrame();
  EXPECT_EQ(animator->GetRepaintRequests(), 2);  // after ticks 4 and 8
  animator->SetAttribute(L"speed", L"5");
  animator->Start(popup.get());  // a start resets the count
  for (int i = 0; i < 3; ++i)
    animator->OnNextFrame();
  EXPECT_EQ(animator->GetRepaintRequests(), 5);
  // Frame ticks reach it through the host while started, and no longer once stopped.
  animator->SetAttribute(L"speed", L"40");
  animator->Start(popup.get());
  platform.Advance(toolkit::headless::HeadlessPlatform::kFrameMs * 8);
  EXPECT_EQ(animator->GetRepaintRequests(), 7);
  animator->Stop();
  platform.Advance(toolkit::headless::HeadlessPlatform::kFrameMs * 8);
  EXPECT_EQ(animator->GetRepaintRequests(), 7);
}

TEST_F(Waveform, PaintDrawsSixtyBarsOfTheFirstSamples) {
  Open();
  EXPECT_TRUE(Lines().empty());  // no block yet: zero bars, nothing drawn
  std::vector<short> block(2048, 16384);
  block[1] = 1000;
  block[2] = 100;      // too small to show
  block[60] = -16384;  // past the drawn bars
  ASSERT_EQ(CPopWndAudio::DrawWaveCallback(block.data(), 2048, popup.get()), 1);
  animator->Start(popup.get());
  auto lines = Lines();
  ASSERT_EQ(lines.size(), 59u);
  EXPECT_EQ(lines[0].rect.x, 225);
  EXPECT_EQ(lines[0].rect.y, 105);
  EXPECT_EQ(lines[0].rect.h, 130);
  EXPECT_EQ(lines[1].rect.x, 230);
  EXPECT_EQ(lines[1].rect.y, 166);
  EXPECT_EQ(lines[1].rect.h, 7);
  EXPECT_EQ(lines.back().rect.x, 520);
  EXPECT_EQ(animator->Bars()[60].height, -130);
}

// The controls that draw with colours of their own: the waveform, its panel and line, and the
// results page's score ring take the system's colours while a high-contrast theme is on, and
// their own again once it is off.
TEST_F(Waveform, ItsPanelAndTheScoreRingTakeTheSystemColoursUnderHighContrast) {
  Open();
  std::vector<short> block(2048, 16384);
  ASSERT_EQ(CPopWndAudio::DrawWaveCallback(block.data(), 2048, popup.get()), 1);
  animator->Start(popup.get());
  toolkit::SHostWnd main(ui, L"LAYOUT:XML_MAINWND");
  ASSERT_TRUE(main.Create());
  main.FindChildByName2<toolkit::STabCtrl>(L"tab_main_op")->SetCurSel(2);
  toolkit::SystemColors sys;
  sys.window = {0, 0, 0, 255};
  sys.windowText = {255, 255, 0, 255};
  using C = toolkit::Color;
  struct Case {
    const char* what;
    toolkit::SHostWnd* window;
    DrawOp::Kind kind;
    float w, h;  // the drawing's size picks it out
    C own, contrast;
  };
  const Case cases[] = {
      {"wave panel",
       popup.get(),
       DrawOp::kFillRoundRect,
       520,
       230,
       {0x1F, 0x3A, 0x68, 255},
       sys.window},
      {"centre line",
       popup.get(),
       DrawOp::kFillRoundRect,
       316,
       1,
       {255, 255, 255, 0x38},
       sys.windowText},
      {"a bar", popup.get(), DrawOp::kLine, 0, 130, {255, 255, 255, 0xe0}, sys.windowText},
      {"score ring", &main, DrawOp::kEllipse, 120, 120, {0xEA, 0xF2, 0xFF, 255}, sys.window},
      {"its border", &main, DrawOp::kArc, 117, 117, {0x34, 0x78, 0xF6, 255}, sys.windowText},
  };
  for (bool contrast : {false, true, false}) {
    platform.SetHighContrast(contrast ? std::optional<toolkit::SystemColors>(sys) : std::nullopt);
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.what) + (contrast ? " high contrast" : " own"));
      std::vector<C> colors;
      auto* window = static_cast<toolkit::headless::HeadlessWindow*>(c.window->GetNative());
      for (const auto& op : window->Paint().ops) {
        if (op.kind == c.kind && op.rect.w == c.w && op.rect.h == c.h)
          colors.push_back(op.color);
      }
      ASSERT_FALSE(colors.empty());
      C want = contrast ? c.contrast : c.own;
      for (C got : colors)
        EXPECT_EQ((std::vector<int>{got.r, got.g, got.b, got.a}),
                  (std::vector<int>{want.r, want.g, want.b, want.a}));
    }
  }
}

TEST_F(Waveform, BlocksNeverWritePastTheBuffer) {
  Open();
  std::vector<short> first(2048, 1000), big(8192, 2000);
  EXPECT_EQ(CPopWndAudio::DrawWaveCallback(first.data(), 2048, nullptr), 1);
  EXPECT_EQ(popup->GetWaveAllocated(), 0u);  // no context: ignored
  CPopWndAudio::DrawWaveCallback(first.data(), 2048, popup.get());
  EXPECT_EQ(popup->GetWaveAllocated(), 2064u);
  EXPECT_EQ(popup->GetWaveCapacity(), 2049);
  for (int count : {2049, 8192, 0, -5})
    CPopWndAudio::DrawWaveCallback(big.data(), count, popup.get());
  short out[64];
  ASSERT_TRUE(popup->CopyLatestWave(out, 64));
  EXPECT_EQ(out[0], 1000);  // none of the larger blocks was taken
  EXPECT_EQ(popup->GetWaveAllocated(), 2064u);
}

TEST_F(Waveform, ShortFirstBlockIsReadWithoutOverrun) {
  Open();
  short tiny[10] = {16384, 16384, 16384, 16384, 16384, 16384, 16384, 16384, 16384, 16384};
  CPopWndAudio::DrawWaveCallback(tiny, 10, popup.get());
  animator->Start(popup.get());
  auto lines = Lines();
  EXPECT_EQ(lines.size(), 10u);  // the 54 samples the block lacked read as silence
}

TEST_F(Waveform, CaptureThreadAndPaintShareTheBuffer) {
  Open();
  animator->Start(popup.get());
  std::atomic<bool> stop{false};
  std::thread capture([&] {
    std::vector<short> a(2048, 16384), b(2048, -16384);
    for (int i = 0; !stop; ++i)
      CPopWndAudio::DrawWaveCallback((i % 2 ? a : b).data(), 2048, popup.get());
  });
  for (int i = 0; i < 200; ++i) {
    auto lines = Lines();
    // Every bar of one paint comes from the same block: no paint mixes two.
    for (const auto& line : lines)
      ASSERT_EQ(line.rect.h, lines.front().rect.h);
  }
  stop = true;
  capture.join();
}

}  // namespace
}  // namespace popups
