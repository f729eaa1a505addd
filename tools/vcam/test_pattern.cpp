#include "test_pattern.h"

#include <cstring>

namespace vcam {

namespace {

// 5 x 7 digit shapes, one row per byte, the five low bits from left to right.
constexpr std::uint8_t kDigits[10][7] = {
    {0x0e, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0e}, {0x04, 0x0c, 0x04, 0x04, 0x04, 0x04, 0x0e},
    {0x0e, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1f}, {0x1f, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0e},
    {0x02, 0x06, 0x0a, 0x12, 0x1f, 0x02, 0x02}, {0x1f, 0x10, 0x1e, 0x01, 0x01, 0x11, 0x0e},
    {0x06, 0x08, 0x10, 0x1e, 0x11, 0x11, 0x0e}, {0x1f, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08},
    {0x0e, 0x11, 0x11, 0x0e, 0x11, 0x11, 0x0e}, {0x0e, 0x11, 0x11, 0x0f, 0x01, 0x02, 0x0c},
};

// Eight bars as BGRX: white, yellow, cyan, green, magenta, red, blue, black (75% levels).
constexpr std::uint32_t kBars[8] = {0xbfbfbf, 0xbfbf00, 0x00bfbf, 0x00bf00,
                                    0xbf00bf, 0xbf0000, 0x0000bf, 0x101010};

constexpr int kDigitCount = 6;
constexpr int kScale = 6;  // each font pixel as a 6 x 6 block
constexpr int kMargin = 12;

void Put(std::uint8_t* row, int x, std::uint32_t rgb) {
  std::uint8_t* pixel = row + static_cast<std::ptrdiff_t>(x) * 4;
  pixel[0] = static_cast<std::uint8_t>(rgb & 0xff);
  pixel[1] = static_cast<std::uint8_t>((rgb >> 8) & 0xff);
  pixel[2] = static_cast<std::uint8_t>((rgb >> 16) & 0xff);
  pixel[3] = 0;
}

}  // namespace

int BarLeft(std::uint64_t frame, int width) {
  if (width <= 0) {
    return 0;
  }
  return static_cast<int>((frame * kBarStep) % static_cast<std::uint64_t>(width));
}

void DrawFrame(std::uint8_t* firstRow, std::ptrdiff_t stride, int width, int height,
               std::uint64_t frame) {
  const int bar = BarLeft(frame, width);
  const int ramp = height * 2 / 3;
  for (int y = 0; y < height; ++y) {
    std::uint8_t* row = firstRow + stride * y;
    for (int x = 0; x < width; ++x) {
      std::uint32_t rgb;
      if (x >= bar && x < bar + kBarWidth) {
        rgb = 0xffffff;
      } else if (y < ramp) {
        rgb = kBars[static_cast<std::size_t>(x) * 8 / static_cast<std::size_t>(width)];
      } else {
        const auto level = static_cast<std::uint32_t>(x * 255 / width);
        rgb = level * 0x010101u;
      }
      Put(row, x, rgb);
    }
  }
  // The frame number, six digits on a black box at the top left, where the picture is big
  // enough for it.
  const int boxWidth = kDigitCount * 6 * kScale + kScale;
  const int boxHeight = 9 * kScale;
  if (width < kMargin + boxWidth || height < kMargin + boxHeight) {
    return;
  }
  std::uint64_t rest = frame;
  int digits[kDigitCount];
  for (int i = kDigitCount - 1; i >= 0; --i) {
    digits[i] = static_cast<int>(rest % 10);
    rest /= 10;
  }
  for (int y = 0; y < boxHeight; ++y) {
    std::uint8_t* row = firstRow + stride * (kMargin + y);
    std::memset(row + kMargin * 4, 0, static_cast<std::size_t>(boxWidth) * 4);
    const int fontRow = y / kScale - 1;
    if (fontRow < 0 || fontRow >= 7) {
      continue;
    }
    for (int d = 0; d < kDigitCount; ++d) {
      const std::uint8_t bits = kDigits[digits[d]][fontRow];
      for (int column = 0; column < 5; ++column) {
        if ((bits >> (4 - column)) & 1) {
          const int left = kMargin + kScale + (d * 6 + column) * kScale;
          for (int x = left; x < left + kScale; ++x) {
            Put(row, x, 0xffffff);
          }
        }
      }
    }
  }
}

}  // namespace vcam
