// The processor's name, clock, cores, threads, caches and load, each scored.
#pragma once

#include "NetProbe.h"
#include "core/probe_engine.h"

namespace netprobe {

// Refills the engine's record; 1 on success, 0 with `error` filled. Expects the presence check
// to have passed.
int ProbeCpu(ProbeEngine& engine, ProbeError* error);

}  // namespace netprobe
