#include "toolkit/dpi_scale.h"

#include <algorithm>
#include <cmath>

namespace toolkit {
namespace {

constexpr unsigned kBaseDpi = 96;
constexpr unsigned kLargestDpi = 8 * kBaseDpi;

}  // namespace

float ScaleForDpi(unsigned dpi) {
  if (dpi == 0 || dpi > kLargestDpi)
    return 1.0f;
  return static_cast<float>(dpi) / static_cast<float>(kBaseDpi);
}

RectF BodyAfterDpiChange(const RectF& body, long suggestedLeft, long suggestedTop, float scale) {
  if (!(scale > 0))
    scale = 1.0f;
  return {static_cast<float>(suggestedLeft) / scale, static_cast<float>(suggestedTop) / scale,
          body.w, body.h};
}

DeviceRect ToDevice(const RectF& rect, float scale) {
  if (!(scale > 0))
    scale = 1.0f;
  return {std::lround(rect.x * scale), std::lround(rect.y * scale),
          std::lround((rect.x + rect.w) * scale), std::lround((rect.y + rect.h) * scale)};
}

void ChildPlaces::Set(std::uintptr_t child, const RectF& rect, bool visible) {
  for (Place& place : places_) {
    if (place.child == child) {
      place.rect = rect;
      place.visible = visible;
      return;
    }
  }
  places_.push_back({child, rect, visible});
}

void ChildPlaces::Forget(std::uintptr_t child) {
  places_.erase(std::remove_if(places_.begin(), places_.end(),
                               [child](const Place& place) { return place.child == child; }),
                places_.end());
}

}  // namespace toolkit
