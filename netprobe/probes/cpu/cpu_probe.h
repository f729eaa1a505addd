// The processor's name, clock, cores, threads, caches and load, each scored.
#pragma once

#include <vector>
#include "NetProbe.h"

#include "core/platform.h"
#include "core/wmi_query.h"
#include "network/scorer.h"

namespace netprobe {

// Code 1: a command did not run. The export reports it too when the probe cannot run at all.
inline constexpr const char kCpuCommandFailedMessage[] = "获取CPU名称失败";

// What the processor probe uses: its queries through WMI, the clock for the pauses between load
// samples, the scorer.
struct CpuProbeServices {
  WmiRunner& wmi;
  IClock& clock;
  const Scorer& scorer;
};

// Refills `info` and the load samples of the pass that set its load; 1 on success, 0 with
// `error` filled. Expects the presence check to have passed.
int ProbeCpu(const CpuProbeServices& services, CpuInfo& info, std::vector<double>& loadSamples,
             ProbeError* error);

}  // namespace netprobe
