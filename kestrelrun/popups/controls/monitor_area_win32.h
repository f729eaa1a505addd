// The monitors of the Windows desktop, for placing the dropdowns' popups (Windows builds).
#pragma once

#include "controls/dropdown_placement.h"

namespace popups {

IMonitorArea& MonitorArea();

}  // namespace popups
