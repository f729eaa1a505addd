// An engine filled by hand the way a full detection run on a busy Chinese desktop fills it, for
// the tests and the benchmark of the report document.
#pragma once

#include "core/probe_engine.h"

namespace kestrel::test {

// Every record set, every list with entries: two disks, a wired and a wireless card, a DNS
// entry for each with two local and two test servers, router entries for both, 40 LAN devices
// on the wired network and 3 on the wireless one, the speed test, both device verdicts.
void FillLikeAFullRun(netprobe::ProbeEngine& engine);

}  // namespace kestrel::test
