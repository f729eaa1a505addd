// The processor's name, clock, cores, threads, caches and load, each scored.
#pragma once

#include "NetProbe.h"
#include "core/probe_engine.h"

namespace netprobe {

// Code 1: a command did not run. The export reports it too when the probe cannot run at all.
inline constexpr const char kCpuCommandFailedMessage[] = "获取CPU名称失败";

// Refills the engine's record; 1 on success, 0 with `error` filled. Expects the presence check
// to have passed.
int ProbeCpu(ProbeEngine& engine, ProbeError* error);

}  // namespace netprobe
