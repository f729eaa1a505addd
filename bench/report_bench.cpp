// The report document of a whole detection run on the simulated Chinese desktop: what building it
// costs before the upload, the records already filled by the probes.
#include <benchmark/benchmark.h>

#include "network/report/report_json.h"
#include "support/fake_machine.h"
#include "support/report_engine.h"

namespace {

void BuildReportOfDesktop(benchmark::State& state) {
  kestrel::test::FakeMachine machine("desktop-zh");
  auto engine = machine.MakeEngine();
  if (!kestrel::test::RunTheProbes(*engine).empty()) {
    state.SkipWithError("a probe failed on the profile");
    return;
  }
  std::size_t bytes = 0;
  for (auto _ : state) {
    const std::string document = netprobe::BuildReportJson(engine->records(), *machine.codePage);
    bytes = document.size();
    benchmark::DoNotOptimize(document.data());
  }
  state.counters["document_bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BuildReportOfDesktop)->Unit(benchmark::kMicrosecond);

}  // namespace
