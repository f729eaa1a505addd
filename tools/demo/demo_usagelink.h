// The driver's telemetry part (demo_usagelink.cpp): UsageLink's calls at the program's start and
// at its close.
#pragma once

#include "UsageLink.h"

// The version check and the device identity, as at start-up; returns the identity.
DeviceInfo UsageLinkAtStart();
// The usage statistic sent when the window closes.
void UsageLinkAtClose(const DeviceInfo& device);
