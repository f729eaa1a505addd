// How the portable core gets native windows: the Win32 host and the headless host each provide
// one INativePlatform, handed to SApplication when it is built. Needs no <windows.h>.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include "toolkit/native_window.h"
#include "toolkit/render.h"

namespace toolkit {

enum class NativeWindowKind {
  kTopLevel,  // a borderless popup with its own taskbar entry when it has no owner
  kDialog,    // owned by `owner`, modal loops run on it
  kDropDown,  // tool window, topmost, closes when it loses activation
  kChild,     // a real child window inside `parentHandle` (WS_CHILD | WS_VISIBLE)
};

struct NativeWindowParams {
  NativeWindowKind kind = NativeWindowKind::kTopLevel;
  INativeWindow* owner = nullptr;   // the owning host window, if any
  std::uintptr_t parentHandle = 0;  // for kChild: the native parent
  bool translucent = false;         // draws its own shadow margin
  bool appWindow = false;           // shows in the taskbar with the icons below
  std::wstring bigIcon, smallIcon;  // resource names such as "LOGO:32"
};

class INativePlatform {
 public:
  virtual ~INativePlatform() = default;
  virtual std::unique_ptr<INativeWindow> CreateNativeWindow(const NativeWindowParams& params) = 0;
  // A painter for measuring text outside of painting (layout of auto-sized controls).
  virtual IRender& MeasureRender() = 0;
  // Runs the message loop until Quit; returns Quit's code.
  virtual int RunMessageLoop() = 0;
  virtual void Quit(int code) = 0;
  // The high-contrast theme's colours while it is on; none otherwise. Asked again whenever a
  // window reports that the system's colours or settings changed.
  virtual std::optional<SystemColors> HighContrastColors() { return std::nullopt; }
};

}  // namespace toolkit
