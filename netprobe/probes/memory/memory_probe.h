// Installed memory: size, speed, modules and occupancy, each scored.
#pragma once

#include "NetProbe.h"
#include "core/platform.h"
#include "core/wmi_query.h"
#include "network/scorer.h"

namespace netprobe {

// Code 1: a command did not run. The export reports it too when the probe cannot run at all.
inline constexpr const char kMemoryCommandFailedMessage[] = "获取内存信息失败";

// Refills `info` from the module listing and the system's memory status, with its scores; 1 on
// success, 0 with `error` filled and the record all zero.
int ProbeMemory(WmiRunner& wmi, ISystemInfo& system, const Scorer& scorer, MemoryInfo& info,
                ProbeError* error);

}  // namespace netprobe
