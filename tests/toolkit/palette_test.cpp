// The controls drawn without a skin take their accent, hover, border and white from the
// definition's named colours, and the built-in shades where it names none.
#include <gtest/gtest.h>

#include "headless.h"
#include "toolkit/application.h"

namespace toolkit {
namespace {

using headless::DrawOp;
using headless::HeadlessPlatform;

std::vector<int> Rgb(Color c) {
  return {c.r, c.g, c.b};
}

// The colour of the first drawing of `kind` exactly over the control.
std::vector<int> ColorOver(const std::vector<DrawOp>& ops, DrawOp::Kind kind, const RectF& rect) {
  for (const auto& op : ops) {
    if (op.kind == kind && op.rect.x == rect.x && op.rect.y == rect.y && op.rect.w == rect.w &&
        op.rect.h == rect.h)
      return Rgb(op.color);
  }
  return {};
}

TEST(ToolkitPalette, ControlsUseTheNamedColoursOrTheBuiltInShades) {
  struct Case {
    const char* folder;
    std::vector<int> button, buttonHover, editFill, editBorder;
  };
  const Case cases[] = {
      {"palette", {0x10, 0x20, 0x30}, {0x40, 0x50, 0x60}, {0xF0, 0xF1, 0xF2}, {0x70, 0x80, 0x90}},
      {"small", {52, 120, 246}, {74, 143, 248}, {255, 255, 255}, {214, 221, 232}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.folder);
    HeadlessPlatform platform;
    SApplication app(&platform);
    auto files = std::make_unique<FileResProvider>();
    ASSERT_TRUE(files->Init(std::string(KESTREL_TESTDATA_DIR "/toolkit/context/") + c.folder));
    app.Context().AddResProvider(std::move(files));
    SHostWnd host(app.Context(), L"LAYOUT:XML_CONTROLS");
    ASSERT_TRUE(host.Create());
    RectF button = host.FindChildByName(L"go")->GetWindowRect();
    RectF edit = host.FindChildByName(L"field")->GetWindowRect();
    auto ops = platform.WindowOf(host)->Paint().ops;
    EXPECT_EQ(ColorOver(ops, DrawOp::kFillRoundRect, button), c.button);
    EXPECT_EQ(ColorOver(ops, DrawOp::kFillRoundRect, edit), c.editFill);
    EXPECT_EQ(ColorOver(ops, DrawOp::kStrokeRoundRect, edit), c.editBorder);
    headless::Hover(host, {button.x + 5, button.y + 5});
    ops = platform.WindowOf(host)->Paint().ops;
    EXPECT_EQ(ColorOver(ops, DrawOp::kFillRoundRect, button), c.buttonHover);
    EXPECT_TRUE(app.Context().GetDiagnostics().empty());
  }
}

}  // namespace
}  // namespace toolkit
