// The Win32 native window behind every host window of the toolkit.
//
// Geometry: `body` is the window's opaque part in layout pixels, x and y on the screen (divided
// by the scale), w and h its size; painting and mouse positions are relative to its top-left.
// The shadow margin around it is drawn by a separate click-through layered window behind it, a
// little lower than centred (more shadow below than above), because child windows such as the
// rich-text view stay invisible inside a layered window.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "toolkit/native_window.h"

namespace toolkit {

struct NativeWindowOptions {
  std::uintptr_t owner = 0;  // owner window (dialogs, drop-downs); 0 for a top-level window
  bool appWindow = true;     // has a taskbar button
  bool child = false;        // a WS_CHILD of `owner` (real child windows)
  bool dropDown = false;     // a topmost tool window without a taskbar button
  bool shadow = true;        // paints the shadow margin behind it
  std::wstring title;
  std::string bigIcon = "LOGO:32", smallIcon = "LOGO:16";  // resource names, for app windows
};

std::unique_ptr<INativeWindow> CreateNativeWindow(const NativeWindowOptions& options);

// Declares the process DPI-aware (before any window exists) and returns the scale of the
// system DPI: 1 at 96, 1.5 at 144.
float InitDpiAwareness();

// Runs the thread's message loop until WM_QUIT; returns its exit code.
int RunMessageLoop();

}  // namespace toolkit
