// The scale a DPI gives and the body's place after a move to a monitor of another DPI; the
// body, put back through the device rounding the Win32 host uses, must land on the suggested
// top left and keep its logical size. The native children's places, put back at a new scale.
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

TEST(DpiScaleTest, DeviceEdgesRoundApartSoNeighboursStillTouch) {
  const struct {
    RectF rect;
    float scale;
    DeviceRect device;
  } cases[] = {
      {{10, 20, 30, 40}, 1.0f, {10, 20, 40, 60}},
      {{10, 20, 30, 40}, 1.5f, {15, 30, 60, 90}},
      // 1.25: 0.4 and 0.6 wide pieces side by side share the edge at 1.25 * 1.0.
      {{0.4f, 0, 0.6f, 1}, 1.25f, {1, 0, 1, 1}},
      {{0, 0, 0.4f, 1}, 1.25f, {0, 0, 1, 1}},
      {{-8, -3, 16, 6}, 2.0f, {-16, -6, 16, 6}},
      {{10, 20, 30, 40}, 0.0f, {10, 20, 40, 60}},   // no scale: as at 100 %
      {{10, 20, 30, 40}, -2.0f, {10, 20, 40, 60}},  // a negative one too
      {{10, 20, 30, 40}, std::nanf(""), {10, 20, 40, 60}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.scale);
    const DeviceRect d = ToDevice(c.rect, c.scale);
    EXPECT_EQ(d.left, c.device.left);
    EXPECT_EQ(d.top, c.device.top);
    EXPECT_EQ(d.right, c.device.right);
    EXPECT_EQ(d.bottom, c.device.bottom);
  }
}

// The fault this keeps away: after a DPI change the children stayed at their old device
// rectangle, since nothing placed them again until a layout ran.
TEST(DpiScaleTest, ChildPlacesKeepTheLatestPlaceOfEachLiveChild) {
  ChildPlaces places;
  places.Set(0x10, {20, 30, 300, 200}, true);  // the agreement's rich text
  places.Set(0x20, {5, 5, 160, 120}, false);   // the camera picture, hidden
  places.Set(0x30, {0, 0, 1, 1}, true);
  places.Set(0x10, {22, 30, 300, 210}, false);  // placed again: one entry, the latest
  places.Forget(0x30);                          // destroyed
  places.Forget(0x99);                          // never placed
  ASSERT_EQ(places.All().size(), 2u);
  EXPECT_EQ(places.All()[0].child, 0x10u);
  EXPECT_EQ(places.All()[0].rect.x, 22);
  EXPECT_EQ(places.All()[0].rect.h, 210);
  EXPECT_FALSE(places.All()[0].visible);
  EXPECT_EQ(places.All()[1].child, 0x20u);
  EXPECT_FALSE(places.All()[1].visible);
  // At 150 % after the move, the rich text lies where its control is drawn.
  const DeviceRect moved = ToDevice(places.All()[0].rect, ScaleForDpi(144));
  EXPECT_EQ(moved.left, 33);
  EXPECT_EQ(moved.right, 483);
  EXPECT_EQ(moved.bottom, 360);
  places.Forget(0x10);
  places.Forget(0x20);
  EXPECT_TRUE(places.All().empty());
}

}  // namespace
}  // namespace toolkit
