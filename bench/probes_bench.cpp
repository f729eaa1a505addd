// Every system and hardware probe on a simulated desktop, with the commands' answers already in
// memory: what the library itself spends per detection run, apart from the tools and the pauses.
#include <benchmark/benchmark.h>

#include "probes/adapters/adapter_probe.h"
#include "probes/cpu/cpu_probe.h"
#include "probes/disk/disk_probe.h"
#include "probes/host/host_probe.h"
#include "probes/memory/memory_probe.h"
#include "probes/system/system_probe.h"
#include "support/fake_machine.h"

namespace {

void AllSystemProbesOnDesktop(benchmark::State& state) {
  kestrel::test::FakeMachine machine("desktop-zh");
  auto engine = machine.MakeEngine();
  for (auto _ : state) {
    ProbeError error;
    benchmark::DoNotOptimize(engine->ProbeHost(&error));
    benchmark::DoNotOptimize(engine->ProbeSystemVersion(&error));
    benchmark::DoNotOptimize(engine->ProbeCpu(&error));
    benchmark::DoNotOptimize(engine->ProbeMemory(&error));
    benchmark::DoNotOptimize(engine->ProbeDisks(&error));
    benchmark::DoNotOptimize(engine->ProbeNetworkCards(&error));
  }
}
BENCHMARK(AllSystemProbesOnDesktop)->Unit(benchmark::kMicrosecond);

}  // namespace
