// The waveform's arithmetic: how one 16-bit sample becomes one vertical bar, and how often the
// animator repaints. Kept apart from the control so that the numbers can be checked alone.
#pragma once

namespace popups {

// The bars the waveform draws, and the samples of a block it reads (one per bar, from the front).
inline constexpr int kWaveSamples = 64;
inline constexpr int kDrawnBars = 60;

struct WaveBar {
  int x = 0;
  int top = 0;     // y of the first end
  int bottom = 0;  // y of the second end: top + height
  int height = 0;  // signed: negative samples give bars drawn upwards
};

// The signed bar height of a sample: s * 260 / 32768 truncated toward zero, clamped to +-130.
int BarHeight(short sample);
// Bar `index` for `sample`: x = 225 + 5 * index, centred on y = 170.
WaveBar BarFor(int index, short sample);
// Frame ticks per repaint for the `speed` attribute (ten times the divisor); never below 1.
int FrameDivisor(int speed);

}  // namespace popups
