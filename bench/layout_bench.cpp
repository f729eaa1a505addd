// The main window's layout read, built into its control tree and laid out: what a start pays
// before the first frame can be painted.
#include <benchmark/benchmark.h>

#include "headless.h"
#include "program_resources.h"
#include "toolkit/application.h"
#include "toolkit/host.h"

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

}  // namespace
