// Ten pings from each adapter's address to its default gateway, scored.
#pragma once

#include <vector>
#include "NetProbe.h"

#include "core/platform.h"
#include "network/scorer.h"

namespace netprobe {

// The codes and messages of this test.
inline constexpr const char kRouterNoAdaptersMessage[] = "没有获取到本机网卡";
inline constexpr const char kRouterNoEntryMessage[] = "获取主机到路由器延迟失败";

// Ten pings from each adapter of the adapter probe's lists to its gateway, through the command
// runner, scored: refills `wiredDelays` and `wirelessDelays`; 1 on success, 0 with `error`
// filled. Expects the presence check to have passed.
int ProbeRouterDelay(ICommandRunner& commands, const Scorer& scorer,
                     const std::vector<NetworkCard>& wired,
                     const std::vector<NetworkCard>& wireless,
                     std::vector<RouterDelayEntry>& wiredDelays,
                     std::vector<RouterDelayEntry>& wirelessDelays, ProbeError* error);

}  // namespace netprobe
