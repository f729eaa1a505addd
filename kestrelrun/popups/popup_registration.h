// What the program registers at start-up for its device popups: the waveform and the three
// dropdown control classes under their layout names, and the real-window handler.
#pragma once

#include "controls/dropdown_placement.h"
#include "realwnd/realwnd_handler.h"
#include "toolkit/ui_context.h"

namespace popups {

// `monitors` places the dropdowns' popups (controls/monitor_area_win32.h on Windows); `realWnds`
// must live as long as the application.
void RegisterPopupControls(toolkit::UiContext& context, IMonitorArea* monitors,
                           CRealWndHandler* realWnds);

}  // namespace popups
