// Ten pings from each adapter's address to its default gateway, scored.
#pragma once

#include "NetProbe.h"
#include "core/probe_engine.h"

namespace netprobe {

// The codes and messages of this test.
inline constexpr const char kRouterNoAdaptersMessage[] = "没有获取到本机网卡";
inline constexpr const char kRouterNoEntryMessage[] = "获取主机到路由器延迟失败";

// Refills routerDelayWired and routerDelayWireless; 1 on success, 0 with `error` filled.
// Expects the presence check to have passed.
int ProbeRouterDelay(ProbeEngine& engine, ProbeError* error);

}  // namespace netprobe
