// The keyboard over the toolkit: the Tab order (wrapping, hidden, disabled and unfocusable
// controls skipped, the focus after a page change), Enter, Space and the arrows on the focused
// control, the focus mark the host draws (in the active window only); the default colours from the
// named colours, and the high-contrast theme's system colours while it is on.
#include <gtest/gtest.h>

#include <functional>

#include "command_host.h"
#include "headless.h"
#include "toolkit/application.h"
#include "toolkit/controls.h"

namespace toolkit {
namespace {

using headless::DrawOp;
using headless::HeadlessPlatform;

using CommandLog = testing::CommandHost;

struct K {
  Key key;
  bool shift = false;
};
const K kTab{Key::kTab}, kBackTab{Key::kTab, true}, kEnter{Key::kEnter}, kSpace{Key::kSpace},
    kRight{Key::kRight}, kLeft{Key::kLeft}, kEnd{Key::kEnd};

bool Same(Color a, Color b) {
  return a.r == b.r && a.g == b.g && a.b == b.b && a.a == b.a;
}

class Keyboard : public ::testing::Test {
 protected:
  void SetUp() override {
    auto files = std::make_unique<FileResProvider>();
    ASSERT_TRUE(files->Init(KESTREL_TESTDATA_DIR "/toolkit/keys"));
    app.Context().AddResProvider(std::move(files));
    ASSERT_TRUE(host.Create());
  }
  void Press(const std::vector<K>& keys) {
    for (const K& k : keys)
      headless::PressKey(host, k.key, k.shift);
  }
  std::vector<DrawOp> Paint() { return platform.WindowOf(host)->Paint().ops; }
  // The drawings of `kind` exactly over `rect`, by colour.
  static std::vector<Color> Over(const std::vector<DrawOp>& ops, DrawOp::Kind kind, RectF rect) {
    std::vector<Color> found;
    for (const auto& op : ops) {
      if (op.kind == kind && op.rect.x == rect.x && op.rect.y == rect.y && op.rect.w == rect.w &&
          op.rect.h == rect.h)
        found.push_back(op.color);
    }
    return found;
  }
  RectF RectOf(const wchar_t* name) { return host.FindChildByName(name)->GetWindowRect(); }

  HeadlessPlatform platform;
  SApplication app{&platform};
  CommandLog host{app.Context(), L"LAYOUT:XML_KEYS"};
};

TEST_F(Keyboard, TabOrderWrapsAndSkipsWhatCannotTakeTheFocus) {
  struct Case {
    std::vector<K> keys;
    const wchar_t* focus;
  };
  const Case cases[] = {
      {{}, L""},
      {{kTab}, L"first"},
      {{kTab, kTab}, L"box"},  // past the hidden, disabled, unfocusable and closed-panel ones
      {{kTab, kTab, kTab}, L"on_page_0"},
      {{kTab, kTab, kTab, kTab}, L"slider"},
      {{kTab, kTab, kTab, kTab, kTab}, L"last"},
      {{kTab, kTab, kTab, kTab, kTab, kTab}, L"first"},  // wraps round
      {{kBackTab}, L"last"},                             // backwards from nothing: the end
      {{kTab, kBackTab}, L"last"},                       // and wraps the other way
      {{kTab, kTab, kBackTab}, L"first"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.keys.size()) + " keys");
    host.SetFocusTo(nullptr);
    Press(c.keys);
    EXPECT_EQ(headless::FocusName(host), c.focus);
  }
}

TEST_F(Keyboard, KeysActOnTheFocusedControl) {
  struct Case {
    std::vector<K> keys;
    std::vector<std::wstring> commands;
    bool boxChecked;
    int slider;
  };
  const Case cases[] = {
      {{kTab, kEnter}, {L"first"}, false, 5},
      {{kTab, kSpace}, {L"first"}, false, 5},
      {{kTab, kTab, kSpace}, {L"box"}, true, 5},
      {{kTab, kTab, kSpace, kEnter}, {L"box", L"box"}, false, 5},
      {{kBackTab, kEnter}, {L"last"}, false, 5},
      {{kBackTab, kBackTab, kRight, kRight}, {}, false, 7},
      {{kBackTab, kBackTab, kLeft, kEnd}, {}, false, 10},
      {{kEnter, kSpace}, {}, false, 5},  // no focus: nothing
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.keys.size()) + " keys");
    host.SetFocusTo(nullptr);
    host.commands.clear();
    host.FindChildByName(L"box")->SetCheck(false);
    host.FindChildByName2<SSliderBar>(L"slider")->SetValue(5);
    Press(c.keys);
    EXPECT_EQ(host.commands, c.commands);
    EXPECT_EQ(headless::Checked(host, L"box"), c.boxChecked);
    EXPECT_EQ(headless::Value(host, L"slider"), c.slider);
  }
}

TEST_F(Keyboard, FocusFollowsAPageChangeOnlyWhenItWasOnThePage) {
  auto* pages = host.FindChildByName2<STabCtrl>(L"pages");
  struct Case {
    const wchar_t* before;
    int page;
    const wchar_t* after;
  };
  const Case cases[] = {
      {L"on_page_0", 1, L"on_page_1"},
      {L"on_page_1", 0, L"on_page_0"},
      {L"first", 1, L"first"},
      {L"", 1, L""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.before);
    pages->SetCurSel(c.page == 1 ? 0 : 1);
    SWindow* before = *c.before ? host.FindChildByName(c.before) : nullptr;
    host.SetFocusTo(before);
    pages->SetCurSel(c.page);
    EXPECT_EQ(headless::FocusName(host), c.after);
  }
  // The focused control hidden or disabled: the focus goes, and Tab starts again.
  host.FindChildByName(L"first")->SetFocus();
  host.FindChildByName(L"first")->EnableWindow(false);
  EXPECT_EQ(headless::FocusName(host), L"");
  Press({kTab});
  EXPECT_EQ(headless::FocusName(host), L"box");
}

TEST_F(Keyboard, TheFocusMarkShowsAfterAKeyAndGoesWithAPress) {
  Color focus{0x40, 0x50, 0x60, 255};
  RectF box = host.FindChildByName(L"box")->GetFocusRect();
  RectF first = host.FindChildByName(L"first")->GetFocusRect();
  auto marks = [&](RectF r) {
    int n = 0;
    for (Color c : Over(Paint(), DrawOp::kStrokeRoundRect, r))
      n += Same(c, focus);
    return n;
  };
  host.FindChildByName(L"first")->SetFocus();
  EXPECT_EQ(marks(first), 0);  // focus set by the program: no mark before a key
  Press({kTab});
  EXPECT_EQ(marks(box), 1);
  EXPECT_EQ(marks(first), 0);
  headless::ClickAt(host, {300, 230});  // a press anywhere hides it
  EXPECT_EQ(marks(box), 0);
  EXPECT_EQ(headless::FocusName(host), L"box");
  Press({kBackTab});
  EXPECT_EQ(marks(first), 1);
}

// While another window (a popup, a box) has the keyboard, this one shows no mark; it comes back
// with the activation, and keys in the other window do not bring it back here.
TEST_F(Keyboard, TheFocusMarkIsOnlyInTheActiveWindow) {
  Color focus{0x40, 0x50, 0x60, 255};
  SHostWnd other(app.Context(), L"LAYOUT:XML_KEYS");
  ASSERT_TRUE(other.Create());
  auto marks = [&](SHostWnd& window, const wchar_t* name) {
    RectF r = window.FindChildByName(name)->GetFocusRect();
    int n = 0;
    for (Color c : Over(platform.WindowOf(window)->Paint().ops, DrawOp::kStrokeRoundRect, r))
      n += Same(c, focus);
    return n;
  };
  struct Step {
    const char* what;
    std::function<void()> act;
    int here, there;  // marks on this window's "box" and the other's "first"
  };
  const Step steps[] = {
      {"keys here",
       [&] {
         Press({kTab, kTab});
       },
       1, 0},
      {"the other shown over it", [&] { other.ShowWindow(true); }, 0, 0},
      {"keys there", [&] { headless::PressKey(other, Key::kTab); }, 0, 1},
      {"this one active again", [&] { platform.Activate(platform.WindowOf(host)); }, 1, 0},
      {"the other active, then gone",
       [&] {
         platform.Activate(platform.WindowOf(other));
         other.ShowWindow(false);
       },
       0, 0},
      {"a click here: active, but a press hides the mark",
       [&] {
         headless::ClickAt(host, {300, 230});
       },
       0, 0},
  };
  host.SetFocusTo(nullptr);
  platform.Activate(platform.WindowOf(host));
  for (const Step& s : steps) {
    SCOPED_TRACE(s.what);
    s.act();
    EXPECT_EQ(marks(host, L"box"), s.here);
    EXPECT_EQ(marks(other, L"first"), s.there);
  }
}

TEST_F(Keyboard, DefaultColoursComeFromTheNamedColoursAndHighContrastFromTheSystem) {
  SystemColors sys;
  sys.window = {0, 0, 0, 255};
  sys.windowText = {255, 255, 255, 255};
  sys.highlight = {26, 235, 255, 255};
  sys.highlightText = {1, 2, 3, 255};
  sys.grayText = {63, 242, 63, 255};
  sys.hotLight = {255, 255, 0, 255};
  struct Case {
    const char* what;
    const wchar_t* control;
    DrawOp::Kind kind;
    Color named, contrast;
  };
  const Case cases[] = {
      {"label text", L"label", DrawOp::kText, {0x20, 0x30, 0x40, 255}, sys.windowText},
      {"attribute text", L"inked", DrawOp::kText, {0x0A, 0x0B, 0x0C, 255}, sys.windowText},
      {"button fill", L"first", DrawOp::kFillRoundRect, {0x10, 0x20, 0x30, 255}, sys.window},
      {"button text", L"first", DrawOp::kText, {0xFA, 0xFB, 0xFC, 255}, sys.windowText},
      {"disabled button", L"off", DrawOp::kStrokeRoundRect, {0, 0, 0, 0}, sys.grayText},
      {"link text", L"last", DrawOp::kText, {0x10, 0x20, 0x30, 255}, sys.hotLight},
      {"progress track", L"bar", DrawOp::kFillRoundRect, {0x30, 0x40, 0x50, 255}, sys.window},
  };
  for (bool contrast : {false, true, false}) {
    platform.SetHighContrast(contrast ? std::optional<SystemColors>(sys) : std::nullopt);
    host.FindChildByName(L"off")->SetVisible(true);
    auto ops = Paint();
    for (const auto& c : cases) {
      SCOPED_TRACE(std::string(c.what) + (contrast ? " high contrast" : " named"));
      RectF r = RectOf(c.control);
      if (c.kind == DrawOp::kText)
        r = host.FindChildByName(c.control)->GetClientRect();
      auto colors = Over(ops, c.kind, r);
      Color want = contrast ? c.contrast : c.named;
      if (!contrast && want.a == 0) {
        EXPECT_TRUE(colors.empty());
        continue;
      }
      ASSERT_FALSE(colors.empty());
      EXPECT_TRUE(Same(colors.front(), want))
          << int(colors.front().r) << "," << int(colors.front().g) << "," << int(colors.front().b);
    }
  }
  EXPECT_TRUE(app.Context().GetDiagnostics().empty());
}

}  // namespace
}  // namespace toolkit
