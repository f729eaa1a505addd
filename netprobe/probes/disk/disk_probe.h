// Fixed disks, the system drive's space and its read rating, each scored.
#pragma once

#include "NetProbe.h"
#include "core/probe_engine.h"

namespace netprobe {

// Code 1: a command did not run. The export reports it too when the probe cannot run at all.
inline constexpr const char kDiskCommandFailedMessage[] = "获取硬盘信息失败";

// Refills the engine's record; 1 on success, 0 with `error` filled. Expects the presence check
// to have passed.
int ProbeDisks(ProbeEngine& engine, ProbeError* error);

}  // namespace netprobe
