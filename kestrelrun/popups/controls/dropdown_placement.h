// Where a dropdown's popup goes: as wide as its control, as high as its items (at most the
// control's limit), below the control unless that runs off the monitor, then above it.
#pragma once

#include "toolkit/host.h"
#include "toolkit/render.h"

namespace popups {

// The rectangle of the monitor a window lies on, in layout pixels of the screen.
class IMonitorArea {
 public:
  virtual ~IMonitorArea() = default;
  // The monitor of `host`'s window; the whole screen when it lies on none.
  virtual toolkit::RectF MonitorOf(const toolkit::SHostWnd& host) = 0;
};

// `control` in screen coordinates; `itemsHeight` the list's total item height. `dropAlign` 0
// puts the popup's left edge at the control's, anything else its right edge at the control's.
// The result reaches one pixel past the control on each side.
toolkit::RectF PlaceDropDown(const toolkit::RectF& control, const toolkit::RectF& monitor,
                             float itemsHeight, int maxDropHeight, int dropAlign);

}  // namespace popups
