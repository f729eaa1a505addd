// The other devices on each adapter's /24 network: a ping sweep fills the ARP cache, then
// "arp -a" lists them.
#pragma once

#include "NetProbe.h"
#include "core/probe_engine.h"

namespace netprobe {

// The codes and messages of this test.
inline constexpr const char kLanNoAdaptersMessage[] = "没有获取到本机网卡";
inline constexpr const char kLanFailedMessage[] = "获取局域网设备数量失败";

// Addresses swept per adapter: the last octet from 0 to 255.
inline constexpr int kSweepSize = 256;
// How often the sweep's finished flags are checked; a ping that could not be started is started
// again after at least one such pause.
inline constexpr unsigned kSweepPollMilliseconds = 100;
// How often a sweep ping is tried in all before its address counts as unswept.
inline constexpr int kSweepStartAttempts = 4;

// Refills lanDevicesWired and lanDevicesWireless and the adapters' networkPrefix; 1 on success,
// 0 with `error` filled. Expects the presence check to have passed.
int ProbeLanDevices(ProbeEngine& engine, ProbeError* error);

}  // namespace netprobe
