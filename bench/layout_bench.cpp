// What a start pays before the first frame can be painted: the main window's layout read,
// built into its control tree and laid out, and its shadow picture.
#include <benchmark/benchmark.h>

#include "headless.h"
#include "program_resources.h"
#include "raster_painter.h"
#include "toolkit/application.h"
#include "toolkit/host.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace {

void MainWindowLoadAndLayout(benchmark::State& state) {
  toolkit::headless::HeadlessPlatform platform;
  toolkit::SApplication app(&platform);
  if (!toolkit::testing::AddProgramResources(app.Context())) {
    state.SkipWithError("program resources not found");
    return;
  }
  for (auto _ : state) {
    toolkit::SHostWnd host(app.Context(), L"LAYOUT:XML_MAINWND");
    host.Create();
    benchmark::DoNotOptimize(host.FindChildByName(L"btn_sys_run"));
  }
  if (!app.Context().GetDiagnostics().empty())
    state.SkipWithError("the layout has problems");
}
BENCHMARK(MainWindowLoadAndLayout)->Unit(benchmark::kMicrosecond);

// The shape painter alone, over a buffer of the caller's.
class ShapePainter : public toolkit::RasterPainter {
 public:
  void DrawText(const std::wstring&, const toolkit::RectF&, const toolkit::FontDesc&,
                const toolkit::TextFormat&, toolkit::Color) override {}
  toolkit::SizeF MeasureText(const std::wstring&, const toolkit::FontDesc&, float) override {
    return {};
  }
  std::shared_ptr<toolkit::IImage> LoadImage(const std::string&) override { return nullptr; }
  void DrawImage(const toolkit::IImage&, const toolkit::RectF&, float) override {}
};

// The main window's shadow picture, as its shadow window paints it before the first frame shows:
// the 800 x 500 body inside the margin of 7, both shadows.
void MainWindowShadowPicture(benchmark::State& state) {
  constexpr int kMargin = 7, kWidth = 800 + 2 * kMargin, kHeight = 500 + 2 * kMargin;
  std::vector<std::uint8_t> pixels(static_cast<std::size_t>(kWidth) * kHeight * 4);
  ShapePainter painter;
  for (auto _ : state) {
    std::fill(pixels.begin(), pixels.end(), std::uint8_t{0});
    painter.Attach(pixels.data(), kWidth, kHeight, kWidth * 4, 1);
    toolkit::RectF body{kMargin, kMargin, kWidth - 2 * kMargin, kHeight - 2 * kMargin};
    painter.FillShadow(body, 10, kMargin, {20, 30, 50, 40});
    painter.FillShadow(body, 10, kMargin * 0.4f, {20, 30, 50, 36});
    benchmark::DoNotOptimize(pixels.data());
  }
}
BENCHMARK(MainWindowShadowPicture)->Unit(benchmark::kMicrosecond);

}  // namespace
