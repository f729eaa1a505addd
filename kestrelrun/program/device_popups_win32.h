// The device test popups over the real libraries (MicProbe, CamProbe, NetProbe's verdicts), made
// hidden as windows of the main window once its start-up work has answered; the factory loads
// the two delay-loaded libraries first.
#pragma once

#include "kestrel/codepage.h"
#include "toolkit/ui_context.h"
#include "ui/device_popups.h"

namespace kestrelrun {

// The factory CMainWnd calls; `codePage` outlives the popups.
DevicePopupsFactory MakeDevicePopups(toolkit::UiContext& context,
                                     const kestrel::ICodePage& codePage);

}  // namespace kestrelrun
