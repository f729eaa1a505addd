// The computer's model, serial number and maker, from the product listing.
#pragma once

#include "NetProbe.h"
#include "core/wmi_query.h"

namespace netprobe {

// Code 1: a command did not run. The export reports it too when the probe cannot run at all.
inline constexpr const char kHostCommandFailedMessage[] = "获取主机类型失败";

// Refills `info` from the product listing; 1 on success, 0 with `error` filled. Expects the
// presence check to have passed.
int ProbeHost(WmiRunner& wmi, HostInfo& info, ProbeError* error);

}  // namespace netprobe
