// A window's scale on a monitor of a given DPI, and where its body goes when Windows moves it
// to a monitor of another DPI (WM_DPICHANGED) with a suggested rectangle.
#pragma once

#include <cstdint>
#include <vector>

#include "toolkit/render.h"

namespace toolkit {

// The monitor's DPI against the 96 of 100 %. A value no monitor has (0, or beyond 8 times)
// counts as 96, so that a broken message can neither make a window vanish nor blow it up.
float ScaleForDpi(unsigned dpi);

// The body in logical units after a DPI change: its top left from the suggested rectangle's
// (device pixels at the new scale), its size unchanged, since the layout is fixed.
RectF BodyAfterDpiChange(const RectF& body, long suggestedLeft, long suggestedTop, float scale);

// A layout rectangle in device pixels: each edge rounded on its own, so that controls that
// touch in the layout touch on the screen too. A scale that is not positive counts as 1.
struct DeviceRect {
  long left = 0, top = 0, right = 0, bottom = 0;
};
DeviceRect ToDevice(const RectF& rect, float scale);

// Where a host's native child windows were last placed, in layout pixels, so that a change of
// scale can put each back where its control lies: the layout does not run again for it.
class ChildPlaces {
 public:
  struct Place {
    std::uintptr_t child = 0;
    RectF rect;
    bool visible = false;
  };
  void Set(std::uintptr_t child, const RectF& rect, bool visible);
  void Forget(std::uintptr_t child);
  // In the order the children were first placed.
  const std::vector<Place>& All() const { return places_; }

 private:
  std::vector<Place> places_;
};

}  // namespace toolkit
