// The computer's model, serial number and maker, from the product listing.
#pragma once

#include "NetProbe.h"
#include "core/probe_engine.h"

namespace netprobe {

// Refills the engine's record; 1 on success, 0 with `error` filled. Expects the presence check
// to have passed.
int ProbeHost(ProbeEngine& engine, ProbeError* error);

}  // namespace netprobe
