// Fixed disks, the system drive's space and its read rating, each scored.
#pragma once

#include "NetProbe.h"
#include "core/probe_engine.h"

namespace netprobe {

// Refills the engine's record; 1 on success, 0 with `error` filled. Expects the presence check
// to have passed.
int ProbeDisks(ProbeEngine& engine, ProbeError* error);

}  // namespace netprobe
