// Fixed disks, the system drive's space and its read rating, each scored.
#pragma once

#include "NetProbe.h"
#include "core/platform.h"
#include "core/wmi_query.h"
#include "network/scorer.h"

namespace netprobe {

// Code 1: a command did not run. The export reports it too when the probe cannot run at all.
inline constexpr const char kDiskCommandFailedMessage[] = "获取硬盘信息失败";

// What the disk probe uses: the disk listing through WMI, PowerShell's physical disks and WinSAT
// through the command runner, the system drive's space through the system.
struct DiskProbeServices {
  WmiRunner& wmi;
  ICommandRunner& commands;
  ISystemInfo& system;
  const Scorer& scorer;
};

// Refills `info`; 1 on success, 0 with `error` filled. Expects the presence check to have
// passed.
int ProbeDisks(const DiskProbeServices& services, DiskInfo& info, ProbeError* error);

}  // namespace netprobe
