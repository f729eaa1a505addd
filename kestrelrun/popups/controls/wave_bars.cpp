#include "controls/wave_bars.h"

#include <algorithm>

namespace popups {

int BarHeight(short sample) {
  int h = static_cast<int>(sample) * 260 / 32768;  // C++ division truncates toward zero
  return std::clamp(h, -130, 130);
}

WaveBar BarFor(int index, short sample) {
  WaveBar bar;
  bar.height = BarHeight(sample);
  bar.x = 225 + 5 * index;
  bar.top = (340 - bar.height) / 2;
  bar.bottom = bar.top + bar.height;
  return bar;
}

int FrameDivisor(int speed) {
  // A speed below 10 would give a divisor of 0 (a division by zero on the next frame).
  return std::max(1, speed / 10);
}

}  // namespace popups
