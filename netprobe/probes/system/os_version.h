// The running Windows version as a class from 3 (Windows 2000) to 10 (Windows 10), 0 otherwise.
#pragma once

#include "core/platform.h"

namespace netprobe {

// The class of a major.minor version.
int OsVersionClass(unsigned major, unsigned minor);

// The class of the version the system records for this process; 0 when it is unknown.
int GetOsVersionClass(ISystemInfo& system);

}  // namespace netprobe
