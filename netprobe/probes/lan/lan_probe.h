// The other devices on each adapter's /24 network: a ping sweep fills the ARP cache, then
// "arp -a" lists them.
#pragma once

#include <vector>
#include "NetProbe.h"

#include "core/platform.h"

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

// What the LAN count uses: arp (and the sweep's pings, unless `sweepCommands` is given) through
// the command runner, the clock for the pauses between looks at the sweep, the language arp
// answers in. The sweep retries its own pings, so the engine hands it a runner without retries.
struct LanProbeServices {
  ICommandRunner& commands;
  IClock& clock;
  int language;
  ICommandRunner* sweepCommands = nullptr;
};

// Sweeps the adapters of the adapter probe's lists (setting their networkPrefix) and counts the
// devices in the ARP table: refills `wiredDevices` and `wirelessDevices`; 1 on success, 0 with
// `error` filled. Expects the presence check to have passed.
int ProbeLanDevices(const LanProbeServices& services, std::vector<NetworkCard>& wired,
                    std::vector<NetworkCard>& wireless, std::vector<LanDevicesEntry>& wiredDevices,
                    std::vector<LanDevicesEntry>& wirelessDevices, ProbeError* error);

}  // namespace netprobe
