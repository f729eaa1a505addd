// The popups' look under each theme: the pictures' colours (a white picture made for a dark
// panel must not vanish when a high-contrast theme gives the panel the window colour) and the
// camera popup's frame, its only edge over the main window.
#include <gtest/gtest.h>

#include <optional>

#include "audio/audio_popup.h"
#include "popup_fakes.h"
#include "video/video_popup.h"

namespace popups {
namespace {

using toolkit::Color;
using toolkit::SystemColors;
using toolkit::headless::DrawOp;
using toolkit::headless::HeadlessWindow;

std::vector<int> Rgba(Color c) {
  return {c.r, c.g, c.b, c.a};
}

struct Theme {
  const char* name;
  std::optional<SystemColors> colors;
};

std::vector<Theme> Themes() {
  SystemColors dark, light;
  dark.window = {0, 0, 0, 255};
  dark.windowText = {255, 255, 255, 255};
  dark.grayText = {0, 255, 0, 255};
  dark.highlight = {0, 255, 255, 255};
  dark.highlightText = {0, 0, 0, 255};
  light.window = {255, 255, 255, 255};
  light.windowText = {0, 0, 0, 255};
  light.grayText = {128, 128, 128, 255};
  light.highlight = {0, 0, 128, 255};
  light.highlightText = {255, 255, 255, 255};
  return {
      {"own colours", std::nullopt}, {"dark high contrast", dark}, {"light high contrast", light}};
}

std::vector<DrawOp> PicturesOfSize(toolkit::SHostWnd& window, float w, float h) {
  std::vector<DrawOp> found;
  for (const DrawOp& op : static_cast<HeadlessWindow*>(window.GetNative())->Paint().ops) {
    bool picture = op.kind == DrawOp::kImage || op.kind == DrawOp::kTwoToneImage;
    if (picture && op.rect.w == w && op.rect.h == h)
      found.push_back(op);
  }
  return found;
}

class PopupLook : public testing::PopupTest {
 protected:
  testing::FakeAudio audio;
  testing::FakeCamera camera;
  testing::FakeResults results;
};

// Each picture of the popups as each theme draws it: as it is in the program's own colours;
// under a high-contrast theme its ink (the white microphone and camera, the grey icons) in the
// text colour and the rest in the window colour, the icons of disabled buttons in grey.
TEST_F(PopupLook, PicturesTakeTheThemesTextAndWindowColours) {
  CPopWndAudio audioPopup(ui, audio, results, *codePage);
  CPopWndVideo videoPopup(ui, camera, results, *codePage);
  ASSERT_TRUE(audioPopup.Create());
  ASSERT_TRUE(videoPopup.Create());
  audioPopup.LoadAudioDevices();
  audioPopup.StartMessageTimer();
  struct Picture {
    const char* what;
    toolkit::SHostWnd* window;
    float w, h;
    size_t count;
    bool disabled;  // drawn after the no-device state disabled the dropdown buttons
  };
  const Picture pictures[] = {
      {"the microphone", &audioPopup, 96, 96, 1, false},
      {"the camera", &videoPopup, 96, 72, 1, false},
      {"close, small microphone, speaker", &audioPopup, 16, 16, 3, false},
      {"the camera popup's close", &videoPopup, 16, 16, 1, false},
      {"the dropdowns' arrows", &audioPopup, 12, 12, 2, false},
      {"the arrows of disabled buttons", &audioPopup, 12, 12, 2, true},
  };
  for (const Theme& theme : Themes()) {
    platform.SetHighContrast(theme.colors);
    for (const Picture& p : pictures) {
      SCOPED_TRACE(std::string(theme.name) + ": " + p.what);
      if (p.disabled) {
        audioPopup.EnterNoDeviceState();
        ASSERT_FALSE(toolkit::headless::Enabled(audioPopup, L"btn_popwnd_audio_dropdown_1"));
      }
      std::vector<DrawOp> drawn = PicturesOfSize(*p.window, p.w, p.h);
      ASSERT_EQ(drawn.size(), p.count);
      for (const DrawOp& op : drawn) {
        if (!theme.colors) {
          EXPECT_EQ(op.kind, DrawOp::kImage);
          continue;
        }
        ASSERT_EQ(op.kind, DrawOp::kTwoToneImage);
        Color ink = p.disabled ? theme.colors->grayText : theme.colors->windowText;
        EXPECT_EQ(Rgba(op.color), Rgba(ink));
        EXPECT_EQ(Rgba(op.paper), Rgba(theme.colors->window));
      }
    }
    for (const wchar_t* name : {L"btn_popwnd_audio_dropdown_1", L"btn_popwnd_audio_dropdown_2"})
      audioPopup.FindChildByName(name)->EnableWindow(true);
  }
}

// An icon is part of its button: under the mouse it takes the highlight's colours with the
// button, so the close cross stays visible on the highlight; the other icons keep theirs.
TEST_F(PopupLook, AnIconTakesItsHoveredButtonsHighlight) {
  CPopWndAudio popup(ui, audio, results, *codePage);
  ASSERT_TRUE(popup.Create());
  toolkit::RectF button = popup.FindChildByName(L"btn_popwnd_audio_close")->GetWindowRect();
  for (const Theme& theme : Themes()) {
    if (!theme.colors)
      continue;
    SCOPED_TRACE(theme.name);
    platform.SetHighContrast(theme.colors);
    toolkit::headless::Hover(popup, {button.x + button.w / 2, button.y + button.h / 2});
    std::vector<DrawOp> icons = PicturesOfSize(popup, 16, 16);
    ASSERT_EQ(icons.size(), 3u);
    int inside = 0;
    for (const DrawOp& op : icons) {
      bool onButton = op.rect.x >= button.x && op.rect.x + op.rect.w <= button.x + button.w;
      inside += onButton;
      const SystemColors& c = *theme.colors;
      EXPECT_EQ(Rgba(op.color), Rgba(onButton ? c.highlightText : c.windowText));
      EXPECT_EQ(Rgba(op.paper), Rgba(onButton ? c.highlight : c.window));
    }
    EXPECT_EQ(inside, 1);
    toolkit::headless::Hover(popup, {1, 200});
    for (const DrawOp& op : PicturesOfSize(popup, 16, 16))
      EXPECT_EQ(Rgba(op.color), Rgba(theme.colors->windowText)) << "after the mouse left";
  }
}

// The camera popup is a plain window (a layered one cannot show the camera's native child
// window), so it has no shadow: a one-pixel frame on all four sides is its edge, and nothing
// drawn after it may cover it.
TEST_F(PopupLook, TheCameraPopupHasAFrameNothingCovers) {
  CPopWndVideo popup(ui, camera, results, *codePage);
  ASSERT_TRUE(popup.Create());
  for (const Theme& theme : Themes()) {
    SCOPED_TRACE(theme.name);
    platform.SetHighContrast(theme.colors);
    std::vector<DrawOp> ops = static_cast<HeadlessWindow*>(popup.GetNative())->Paint().ops;
    size_t frame = ops.size();
    for (size_t i = 0; i < ops.size() && frame == ops.size(); ++i) {
      const DrawOp& op = ops[i];
      if (op.kind == DrawOp::kStrokeRoundRect && op.rect.x == 0 && op.rect.y == 0 &&
          op.rect.w == 560 && op.rect.h == 400)
        frame = i;
    }
    ASSERT_LT(frame, ops.size()) << "no frame around the window";
    Color want = theme.colors ? theme.colors->windowText : Color{0x8A, 0x94, 0xA6, 255};
    EXPECT_EQ(Rgba(ops[frame].color), Rgba(want));
    for (size_t i = frame + 1; i < ops.size(); ++i) {
      const toolkit::RectF& r = ops[i].rect;
      if (ops[i].kind == DrawOp::kText || r.w <= 0 || r.h <= 0)
        continue;  // text is clipped to its control; lines and empty shapes cover nothing
      EXPECT_TRUE(r.x >= 1 && r.y >= 1 && r.x + r.w <= 559 && r.y + r.h <= 399)
          << "drawing " << ops[i].kind << " at " << r.x << "," << r.y << " " << r.w << "x" << r.h
          << " covers the frame";
    }
  }
}

}  // namespace
}  // namespace popups
