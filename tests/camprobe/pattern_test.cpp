// The virtual camera's picture: the bar moves and wraps, the counter shows the frame number,
// both row orders give the same picture, and small pictures stay within their buffer.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "test_pattern.h"

namespace vcam {
namespace {

std::vector<std::uint8_t> Draw(int width, int height, std::uint64_t frame, bool bottomUp) {
  std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * height * 4, 0xee);
  const std::ptrdiff_t stride = static_cast<std::ptrdiff_t>(width) * 4;
  std::uint8_t* top = bottomUp ? pixels.data() + stride * (height - 1) : pixels.data();
  DrawFrame(top, bottomUp ? -stride : stride, width, height, frame);
  return pixels;
}

std::uint32_t At(const std::vector<std::uint8_t>& pixels, int width, int x, int y) {
  const std::uint8_t* p = &pixels[(static_cast<std::size_t>(y) * width + x) * 4];
  return static_cast<std::uint32_t>(p[0]) | p[1] << 8 | p[2] << 16 | p[3] << 24;
}

TEST(PatternTest, BarMovesEightPixelsAFrameAndWraps) {
  const struct {
    std::uint64_t frame;
    int width;
    int left;
  } cases[] = {{0, 640, 0},  {1, 640, 8}, {79, 640, 632},         {80, 640, 0},
               {81, 640, 8}, {5, 30, 10}, {1ull << 40, 640, 128}, {3, 0, 0}};
  for (const auto& c : cases) {
    EXPECT_EQ(BarLeft(c.frame, c.width), c.left) << c.frame << " on " << c.width;
  }
}

TEST(PatternTest, FramesDifferAndTheBarIsWhite) {
  const auto first = Draw(kWidth, kHeight, 100, false);
  const auto next = Draw(kWidth, kHeight, 101, false);
  EXPECT_NE(first, next);
  const int bar = BarLeft(100, kWidth);
  for (int y : {0, kHeight / 2, kHeight - 1}) {
    EXPECT_EQ(At(first, kWidth, bar, y), 0xffffffu) << y;
    EXPECT_EQ(At(first, kWidth, bar + kBarWidth - 1, y), 0xffffffu) << y;
    EXPECT_NE(At(first, kWidth, bar + kBarWidth, y), 0xffffffu) << y;
  }
}

TEST(PatternTest, CounterChangesWithTheFrameNumberOnly) {
  // Frames 80 apart put the bar in the same place: only the counter differs.
  const auto a = Draw(kWidth, kHeight, 5, false);
  const auto b = Draw(kWidth, kHeight, 85, false);
  const auto c = Draw(kWidth, kHeight, 5, false);
  EXPECT_EQ(a, c);
  int differing = 0;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      if (At(a, kWidth, x, y) != At(b, kWidth, x, y)) {
        ++differing;
        EXPECT_LT(y, 12 + 9 * 6) << x;  // within the counter's box
      }
    }
  }
  EXPECT_GT(differing, 0);
}

TEST(PatternTest, BottomUpRowsGiveTheSamePicture) {
  const auto down = Draw(kWidth, kHeight, 42, false);
  const auto up = Draw(kWidth, kHeight, 42, true);
  for (int y : {0, 20, kHeight - 1}) {
    for (int x : {0, 20, 330, kWidth - 1}) {
      EXPECT_EQ(At(down, kWidth, x, y), At(up, kWidth, x, kHeight - 1 - y)) << x << "," << y;
    }
  }
}

TEST(PatternTest, SmallPicturesStayInTheirBuffer) {
  // Too small for the counter: only the bars and the bar are drawn (the sanitizers watch).
  for (const auto& size :
       {std::pair{1, 1}, std::pair{8, 3}, std::pair{100, 40}, std::pair{300, 20}}) {
    const auto pixels = Draw(size.first, size.second, 7, true);
    EXPECT_EQ(pixels.size(), static_cast<std::size_t>(size.first) * size.second * 4);
  }
}

}  // namespace
}  // namespace vcam
