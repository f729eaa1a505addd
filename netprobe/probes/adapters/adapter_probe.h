// Physical wired and wireless adapters: state, link speed and signal.
#pragma once

#include "NetProbe.h"
#include "core/probe_engine.h"

namespace netprobe {

// Refills the engine's record; 1 on success, 0 with `error` filled. Expects the presence check
// to have passed.
int ProbeNetworkCards(ProbeEngine& engine, ProbeError* error);

}  // namespace netprobe
