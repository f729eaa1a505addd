// The scale a DPI gives and the body's place after a move to a monitor of another DPI; the
// body, put back through the device rounding the Win32 host uses, must land on the suggested
// top left and keep its logical size.
#include "toolkit/dpi_scale.h"

#include <gtest/gtest.h>

#include <cmath>

namespace toolkit {
namespace {

TEST(DpiScaleTest, ScalesFollowTheDpiAndAbsurdValuesCountAsOne) {
  const struct {
    unsigned dpi;
    float scale;
  } cases[] = {{96, 1.0f},  {120, 1.25f}, {144, 1.5f}, {168, 1.75f}, {192, 2.0f},  {288, 3.0f},
               {768, 8.0f}, {72, 0.75f},  {0, 1.0f},   {769, 1.0f},  {65535, 1.0f}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.dpi);
    EXPECT_FLOAT_EQ(ScaleForDpi(c.dpi), c.scale);
  }
}

TEST(DpiScaleTest, TheBodyLandsOnTheSuggestedCornerWithItsSize) {
  const RectF body{100, 80, 810, 510};
  const struct {
    long left, top;
    unsigned dpi;
  } cases[] = {{0, 0, 96},        {125, 100, 120}, {1921, 1, 144},  {-1280, 37, 192},
               {3839, 2159, 168}, {-7, -3, 120},   {100000, 0, 768}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.left);
    float scale = ScaleForDpi(c.dpi);
    RectF moved = BodyAfterDpiChange(body, c.left, c.top, scale);
    EXPECT_EQ(std::lround(moved.x * scale), c.left);
    EXPECT_EQ(std::lround(moved.y * scale), c.top);
    EXPECT_EQ(moved.w, body.w);
    EXPECT_EQ(moved.h, body.h);
  }
  // A scale that is not one still leaves a usable body.
  RectF odd = BodyAfterDpiChange(body, 50, 60, 0.0f);
  EXPECT_EQ(odd.x, 50);
  EXPECT_EQ(odd.w, body.w);
}

}  // namespace
}  // namespace toolkit
