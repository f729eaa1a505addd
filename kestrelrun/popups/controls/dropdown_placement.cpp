#include "controls/dropdown_placement.h"

#include <algorithm>

namespace popups {

toolkit::RectF PlaceDropDown(const toolkit::RectF& control, const toolkit::RectF& monitor,
                             float itemsHeight, int maxDropHeight, int dropAlign) {
  float width = control.w;
  float height = std::min(itemsHeight + 2, static_cast<float>(std::max(0, maxDropHeight)));
  float right = control.x + control.w;
  float bottom = control.y + control.h;
  float x = dropAlign == 0 ? control.x : right - width;
  float y = bottom;
  if (bottom + height > monitor.y + monitor.h)
    y = control.y - height;  // no room below: open upwards
  return {x - 1, y, width + 2, height};
}

}  // namespace popups
