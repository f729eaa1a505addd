// The operating system's name, release and version class.
#pragma once

#include "NetProbe.h"
#include "core/platform.h"
#include "core/wmi_query.h"

namespace netprobe {

// Code 1: a command did not run. The export reports it too when the probe cannot run at all.
inline constexpr const char kSystemCommandFailedMessage[] = "获取系统名称失败";

// What the system probe reads: WMI, the registry and version through the system, the code page
// of registry text, and the files for the side file it leaves.
struct SystemProbeServices {
  WmiRunner& wmi;
  ISystemInfo& system;
  const ICodePage& codePage;
  IFiles& files;
};

// Refills `info`: the version class, the product name and the release; 1 on success, 0 with
// `error` filled (what was found before the failure is kept).
int ProbeSystemVersion(const SystemProbeServices& services, SystemInfo& info, ProbeError* error);

}  // namespace netprobe
