// An engine filled by hand the way a full detection run on a busy Chinese desktop fills it, for
// the tests and the benchmark of the report document.
#pragma once

#include <string>
#include <vector>

#include "dll/probe_engine.h"

namespace kestrel::test {

// Every record set, every list with entries: two disks, a wired and a wireless card, a DNS
// entry for each with two local and two test servers, router entries for both, 40 LAN devices
// on the wired network and 3 on the wireless one, the speed test, both device verdicts.
void FillLikeAFullRun(netprobe::ProbeEngine& engine);

// A probe of the detection as the engine runs it, with the name tests report it by.
struct DetectionProbe {
  const char* name;
  int (netprobe::ProbeEngine::*run)(ProbeError* error);
};

// The probes of a detection in the program's order, host to LAN count (the speed test and the
// device verdicts need no tool and are left out).
const std::vector<DetectionProbe>& DetectionProbes();

// Runs the probes of a detection in the program's order on an engine built on a recorded
// machine (host to LAN count); the speed test and the device verdicts, which need no tool, are
// stored as a run leaves them. Returns "" or the first probe that failed.
std::string RunTheProbes(netprobe::ProbeEngine& engine);

}  // namespace kestrel::test
