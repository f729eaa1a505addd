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

// The main window's shadow picture, as its shadow window paints it before the first frame shows:
// the 800 x 500 body inside the margin of 7.
void MainWindowShadowPicture(benchmark::State& state) {
  constexpr int kMargin = 7, kWidth = 800 + 2 * kMargin, kHeight = 500 + 2 * kMargin;
  std::vector<std::uint8_t> pixels(static_cast<std::size_t>(kWidth) * kHeight * 4);
  for (auto _ : state) {
    std::fill(pixels.begin(), pixels.end(), std::uint8_t{0});
    toolkit::PaintBodyShadow(pixels.data(), kWidth, kHeight, kMargin, 10);
    benchmark::DoNotOptimize(pixels.data());
  }
}
BENCHMARK(MainWindowShadowPicture)->Unit(benchmark::kMicrosecond);

}  // namespace
