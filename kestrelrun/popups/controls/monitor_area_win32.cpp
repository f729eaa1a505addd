// The monitor a host window lies on, from MonitorFromWindow, in layout pixels.
#include "controls/monitor_area_win32.h"

#include <windows.h>

namespace popups {
namespace {

class Win32MonitorArea : public IMonitorArea {
 public:
  toolkit::RectF MonitorOf(const toolkit::SHostWnd& host) override {
    float scale = host.GetNative() ? host.GetNative()->Scale() : 1.0f;
    if (scale <= 0)
      scale = 1;
    RECT r{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    HMONITOR monitor =
        MonitorFromWindow(reinterpret_cast<HWND>(host.GetHwnd()), MONITOR_DEFAULTTONULL);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (monitor && GetMonitorInfoW(monitor, &info))
      r = info.rcMonitor;
    return {static_cast<float>(r.left) / scale, static_cast<float>(r.top) / scale,
            static_cast<float>(r.right - r.left) / scale,
            static_cast<float>(r.bottom - r.top) / scale};
  }
};

}  // namespace

IMonitorArea& MonitorArea() {
  static Win32MonitorArea area;
  return area;
}

}  // namespace popups
