// A window's scale on a monitor of a given DPI, and where its body goes when Windows moves it
// to a monitor of another DPI (WM_DPICHANGED) with a suggested rectangle.
#pragma once

#include "toolkit/render.h"

namespace toolkit {

// The monitor's DPI against the 96 of 100 %. A value no monitor has (0, or beyond 8 times)
// counts as 96, so that a broken message can neither make a window vanish nor blow it up.
float ScaleForDpi(unsigned dpi);

// The body in logical units after a DPI change: its top left from the suggested rectangle's
// (device pixels at the new scale), its size unchanged, since the layout is fixed.
RectF BodyAfterDpiChange(const RectF& body, long suggestedLeft, long suggestedTop, float scale);

}  // namespace toolkit
