// The virtual camera's picture: colour bars, a white bar that moves 8 pixels a frame and the
// frame number in large digits, so that two frames always differ and a viewer sees motion.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vcam {

inline constexpr int kWidth = 640;
inline constexpr int kHeight = 480;
inline constexpr int kFramesPerSecond = 30;
inline constexpr int kBarWidth = 32;
inline constexpr int kBarStep = 8;

// Draws frame `frame` as 32-bit BGRX pixels. `firstRow` is the top row; `stride` is the byte
// step from one row to the one below (negative for a bottom-up bitmap).
void DrawFrame(std::uint8_t* firstRow, std::ptrdiff_t stride, int width, int height,
               std::uint64_t frame);

// The left edge of the moving bar in frame `frame` on a picture `width` wide.
int BarLeft(std::uint64_t frame, int width);

}  // namespace vcam
