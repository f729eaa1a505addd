// Pictures under a high-contrast theme: which pixels become ink and which paper, and the two
// colours a picture with ink is given in each state.
#include <gtest/gtest.h>

#include <vector>

#include "toolkit/style.h"

namespace toolkit {
namespace {

std::vector<int> Rgba(Color c) {
  return {c.r, c.g, c.b, c.a};
}

TEST(TwoTone, LightOrDarkPixelsBecomeInkKeepingTheirOpacity) {
  const Color white{255, 255, 255, 255}, black{0, 0, 0, 255}, yellow{255, 255, 0, 255};
  struct Case {
    const char* what;
    bool lightInk;
    Color pixel, ink, paper, want;
  } cases[] = {
      {"the white microphone on a light theme", true, white, black, white, black},
      {"the same on a dark theme", true, white, white, black, white},
      {"its faint ring keeps its opacity", true, {255, 255, 255, 31}, black, white, {0, 0, 0, 31}},
      {"the camera's blue lens is paper", true, {52, 120, 246, 255}, black, white, white},
      {"a grey icon's stroke is ink", false, {94, 107, 125, 255}, white, black, white},
      {"its light edge is paper", false, {230, 235, 240, 128}, yellow, black, {0, 0, 0, 128}},
      {"half way counts as light", true, {128, 128, 128, 255}, yellow, black, yellow},
      {"just below is dark", true, {127, 127, 127, 255}, yellow, black, black},
      {"pure blue is dark", true, {0, 0, 255, 255}, yellow, black, black},
      {"pure green is light", true, {0, 255, 0, 255}, yellow, black, yellow},
      {"a clear pixel stays clear", false, {0, 0, 0, 0}, white, black, {255, 255, 255, 0}},
      {"half-clear on half-clear ink: a quarter",
       true,
       {255, 255, 255, 128},
       {255, 255, 0, 128},
       black,
       {255, 255, 0, 64}},
  };
  for (const Case& c : cases) {
    TwoTone tone{c.lightInk, c.ink, c.paper};
    EXPECT_EQ(Rgba(tone.Of(c.pixel)), Rgba(c.want)) << c.what;
  }
}

TEST(TwoTone, InkTakesTheTextColourTheHighlightsOrGrey) {
  SystemColors sys;
  sys.window = {0, 0, 0, 255};
  sys.windowText = {255, 255, 255, 255};
  sys.grayText = {0, 255, 0, 255};
  sys.highlight = {0, 255, 255, 255};
  sys.highlightText = {0, 0, 1, 255};
  using Ink = ImageSkinDesc::Ink;
  struct Case {
    Ink ink;
    SkinState state;
    bool toned, lightInk;
    Color want, paper;
  } cases[] = {
      {Ink::kNone, SkinState::kNormal, false, false, {}, {}},
      {Ink::kNone, SkinState::kDisabled, false, false, {}, {}},
      {Ink::kLight, SkinState::kNormal, true, true, sys.windowText, sys.window},
      {Ink::kLight, SkinState::kHover, true, true, sys.highlightText, sys.highlight},
      {Ink::kDark, SkinState::kPushed, true, false, sys.highlightText, sys.highlight},
      {Ink::kDark, SkinState::kDisabled, true, false, sys.grayText, sys.window},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.ink) * 10 + static_cast<int>(c.state));
    std::optional<TwoTone> tone = HighContrastTone(c.ink, c.state, sys);
    ASSERT_EQ(tone.has_value(), c.toned);
    if (!tone)
      continue;
    EXPECT_EQ(tone->lightInk, c.lightInk);
    EXPECT_EQ(Rgba(tone->ink), Rgba(c.want));
    EXPECT_EQ(Rgba(tone->paper), Rgba(c.paper));
  }
}

}  // namespace
}  // namespace toolkit
