// Physical wired and wireless adapters: state, link speed and signal.
#pragma once

#include <vector>
#include "NetProbe.h"

#include "core/platform.h"
#include "core/wmi_query.h"

namespace netprobe {

// Code 1: a command did not run. The export reports it too when the probe cannot run at all.
inline constexpr const char kAdapterCommandFailedMessage[] = "获取网卡信息失败";

// What the adapter probe uses: netsh and sc through the command runner, the speeds through WMI,
// and the language netsh answers in.
struct AdapterProbeServices {
  ICommandRunner& commands;
  WmiRunner& wmi;
  int language;
};

// Refills the wired and wireless lists (which the network tests read) and their summaries, wired
// first; 1 on success, 0 with `error` filled when no adapter was found. Expects the presence
// check to have passed.
int ProbeNetworkCards(const AdapterProbeServices& services, std::vector<NetworkCard>& wired,
                      std::vector<NetworkCard>& wireless,
                      std::vector<NetworkCardSummary>& summaries, ProbeError* error);

}  // namespace netprobe
