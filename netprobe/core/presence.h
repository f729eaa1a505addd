// Whether the computer reaches the internet: a ping to each presence-check host in turn.
#pragma once

#include "core/platform.h"

namespace netprobe {

// 1 as soon as one host's ping output holds "TTL=" (upper case), 0 when none does.
int CheckNetworkPresence(ICommandRunner& runner);

}  // namespace netprobe
