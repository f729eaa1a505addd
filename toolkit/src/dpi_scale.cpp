#include "toolkit/dpi_scale.h"

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

}  // namespace toolkit
