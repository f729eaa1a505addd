// Pixels of the portable shape painter: anti-aliased edges, clipping, premultiplication, scale.
#include "raster_painter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <set>
#include <vector>

namespace toolkit {
namespace {

struct Px {
  int b, g, r, a;
};

// A painter over its own transparent buffer; text and pictures are not its business.
class Canvas : public RasterPainter {
 public:
  Canvas(int w, int h, float scale = 1) : data_(static_cast<std::size_t>(w * h * 4), 0) {
    Attach(data_.data(), w, h, w * 4, scale);
  }
  Px At(int x, int y) const {
    const std::uint8_t* p = &data_[static_cast<std::size_t>((y * Width() + x) * 4)];
    return {p[0], p[1], p[2], p[3]};
  }
  int Alpha(int x, int y) const { return At(x, y).a; }
  void DrawText(const std::wstring&, const RectF&, const FontDesc&, const TextFormat&,
                Color) override {}
  SizeF MeasureText(const std::wstring&, const FontDesc&, float) override { return {}; }
  std::shared_ptr<IImage> LoadImage(const std::string&) override { return nullptr; }
  void DrawImage(const IImage&, const RectF&, float) override {}

 private:
  std::vector<std::uint8_t> data_;
};

constexpr Color kRed{255, 0, 0, 255};

// Distinct alpha values strictly between empty and full along row `y`.
std::set<int> PartialAlphas(const Canvas& c, int y) {
  std::set<int> levels;
  for (int x = 0; x < c.Width(); ++x) {
    int a = c.Alpha(x, y);
    if (a > 0 && a < 255)
      levels.insert(a);
  }
  return levels;
}

TEST(RasterPainter, EdgesOfRoundShapesAreAntiAliased) {
  struct Case {
    const char* name;
    void (*draw)(Canvas&);
    int inside[2], outside[2];
  } cases[] = {
      {"circle",
       [](Canvas& c) {
         c.FillEllipse({10, 10, 40, 40}, kRed);
       },
       {30, 30},
       {11, 11}},
      {"round rect",
       [](Canvas& c) {
         c.FillRoundRect({10, 10, 40, 40}, 12, kRed);
       },
       {30, 12},
       {10, 10}},
      {"ring arc",
       [](Canvas& c) {
         c.StrokeArc({30, 30}, 15, 0, 360, 4, kRed, false);
       },
       {45, 30},
       {30, 30}},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    Canvas c(60, 60);
    k.draw(c);
    EXPECT_EQ(c.Alpha(k.inside[0], k.inside[1]), 255);
    EXPECT_EQ(c.Alpha(k.outside[0], k.outside[1]), 0);
    // A row through the curved part meets several partial coverages, not one hard step.
    std::set<int> levels;
    for (int y = 10; y < 20; ++y) {
      auto row = PartialAlphas(c, y);
      levels.insert(row.begin(), row.end());
    }
    EXPECT_GE(levels.size(), 5u);
  }
}

TEST(RasterPainter, ColoursArePremultiplied) {
  struct Case {
    Color under;
    Color over;
    Px expected;
  } cases[] = {
      {{0, 0, 0, 0}, {255, 0, 0, 128}, {0, 0, 128, 128}},
      {{255, 255, 255, 255}, {0, 0, 255, 128}, {255, 127, 127, 255}},
      {{0, 0, 0, 0}, {40, 80, 200, 0}, {0, 0, 0, 0}},
      {{0, 0, 0, 0}, {40, 80, 200, 255}, {200, 80, 40, 255}},
  };
  for (const Case& k : cases) {
    Canvas c(8, 8);
    c.Clear(k.under);
    c.FillRect({0, 0, 8, 8}, k.over);
    Px p = c.At(4, 4);
    EXPECT_NEAR(p.b, k.expected.b, 1);
    EXPECT_NEAR(p.g, k.expected.g, 1);
    EXPECT_NEAR(p.r, k.expected.r, 1);
    EXPECT_NEAR(p.a, k.expected.a, 1);
  }
  // Overlapping half-transparent shapes never give a channel above its alpha.
  Canvas c(40, 40);
  c.FillEllipse({0, 0, 30, 30}, {250, 20, 90, 140});
  c.FillRoundRect({10, 10, 30, 30}, 6, {30, 200, 250, 100});
  c.FillShadow({5, 5, 20, 20}, 4, 6, {0, 0, 0, 90});
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 40; ++x) {
      Px p = c.At(x, y);
      ASSERT_LE(std::max({p.r, p.g, p.b}), p.a) << x << "," << y;
    }
}

TEST(RasterPainter, ClipsNestAndPop) {
  Canvas c(40, 40);
  c.PushClip({10, 10, 20, 20});
  c.PushClip({0, 0, 15, 15});  // intersects with the outer clip: 10..15
  c.FillRect({0, 0, 40, 40}, kRed);
  EXPECT_EQ(c.Alpha(12, 12), 255);
  EXPECT_EQ(c.Alpha(16, 12), 0);
  EXPECT_EQ(c.Alpha(9, 12), 0);
  c.PopClip();
  c.FillEllipse({0, 0, 40, 40}, kRed);
  EXPECT_EQ(c.Alpha(25, 25), 255);
  EXPECT_EQ(c.Alpha(31, 20), 0);
  c.PopClip();
  c.PopClip();  // one too many keeps the whole buffer as the clip
  c.FillRect({0, 0, 5, 5}, kRed);
  EXPECT_EQ(c.Alpha(2, 2), 255);
  EXPECT_EQ(c.ClipBox().x1, 40);
}

TEST(RasterPainter, LayoutPixelsAreScaled) {
  Canvas c(40, 40, 1.5f);
  c.FillRect({2, 2, 10, 10}, kRed);  // device 3..18
  EXPECT_EQ(c.Alpha(3, 3), 255);
  EXPECT_EQ(c.Alpha(17, 17), 255);
  EXPECT_EQ(c.Alpha(18, 18), 0);
  EXPECT_EQ(c.Alpha(2, 2), 0);
  c.PushClip({0, 0, 20, 4});  // device rows 0..5
  c.FillRect({0, 0, 26, 26}, {0, 0, 255, 255});
  EXPECT_EQ(c.At(25, 5).b, 255);
  EXPECT_EQ(c.At(25, 6).b, 0);
  EXPECT_EQ(c.At(30, 5).b, 0);
}

TEST(RasterPainter, ArcCapsAndLines) {
  // A quarter arc from three o'clock to six; a round cap reaches past the end along the circle.
  Canvas round(60, 60), butt(60, 60);
  round.StrokeArc({30, 30}, 20, 0, 90, 6, kRed, true);
  butt.StrokeArc({30, 30}, 20, 0, 90, 6, kRed, false);
  EXPECT_EQ(round.Alpha(50, 31), 255);  // on the stroke near its start
  EXPECT_EQ(round.Alpha(31, 50), 255);  // near its end
  EXPECT_GT(round.Alpha(27, 50), 100);  // past the end, inside the cap
  EXPECT_EQ(butt.Alpha(27, 50), 0);
  EXPECT_EQ(round.Alpha(10, 30), 0);  // the far side of the circle stays empty

  Canvas line(20, 20);
  line.DrawLine({2, 10}, {18, 10}, 2, kRed);
  EXPECT_EQ(line.Alpha(10, 9), 255);
  EXPECT_EQ(line.Alpha(10, 10), 255);
  EXPECT_EQ(line.Alpha(10, 12), 0);
  EXPECT_EQ(line.Alpha(1, 10), 0);

  Canvas frame(30, 30);
  frame.StrokeRoundRect({5, 5, 20, 20}, 4, 2, kRed);
  EXPECT_EQ(frame.Alpha(15, 5), 255);
  EXPECT_EQ(frame.Alpha(15, 15), 0);  // hollow inside
  EXPECT_EQ(frame.Alpha(15, 4), 0);   // nothing outside the rectangle
}

TEST(RasterPainter, ShadowFadesOutsideItsRectangle) {
  Canvas c(60, 60);
  c.FillShadow({20, 20, 20, 20}, 4, 10, {0, 0, 0, 120});
  EXPECT_NEAR(c.Alpha(30, 30), 120, 1);
  int previous = 256;
  for (int x = 40; x <= 47; ++x) {
    int a = c.Alpha(x, 30);
    EXPECT_LT(a, previous) << x;
    previous = a;
  }
  EXPECT_EQ(c.Alpha(51, 30), 0);
  EXPECT_EQ(c.Alpha(55, 55), 0);
}

// The straight sides take a faster path than the corners; a shadow painted across and one painted
// down the same rectangle turned through a right angle must still agree pixel for pixel, at the
// band's edges above all (odd sizes, fractional places and scales, a radius of 0 or over half).
TEST(RasterPainter, ShadowIsTheSameTurnedThroughARightAngle) {
  struct Case {
    RectF rect;
    float radius, blur, scale;
  } cases[] = {
      {{10, 12, 41, 17}, 4, 6, 1},  {{9.5f, 11.25f, 30, 13}, 6, 5, 1.25f},
      {{8, 8, 33, 21}, 0, 7, 1.5f}, {{12, 10, 20, 9}, 30, 4, 1},
      {{6, 7, 45, 3}, 2, 0.2f, 2},  {{0, 0, 64, 40}, 5, 9, 1},
  };
  for (const Case& k : cases) {
    constexpr int kSize = 96;
    Canvas across(kSize, kSize, k.scale), down(kSize, kSize, k.scale);
    across.FillShadow(k.rect, k.radius, k.blur, {20, 30, 50, 200});
    down.FillShadow({k.rect.y, k.rect.x, k.rect.h, k.rect.w}, k.radius, k.blur, {20, 30, 50, 200});
    int differing = 0;
    for (int y = 0; y < kSize; ++y)
      for (int x = 0; x < kSize; ++x)
        differing += across.Alpha(x, y) != down.Alpha(y, x) ? 1 : 0;
    EXPECT_EQ(differing, 0) << k.rect.x << "," << k.rect.y << " " << k.rect.w << "x" << k.rect.h
                            << " radius " << k.radius << " scale " << k.scale;
  }
}

}  // namespace
}  // namespace toolkit
