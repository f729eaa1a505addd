// The "pos" rule: every coordinate form placed in a parent, and malformed rules refused whole.
#include <gtest/gtest.h>

#include "toolkit/layout_rule.h"
#include "toolkit/resources.h"

namespace toolkit {
namespace {

TEST(ToolkitLayoutRule, PlacesEachCoordinateFormInTheParent) {
  struct Case {
    const wchar_t* pos;
    SizeF size;  // the rule's size (a corner-and-size rule only)
    RectF expected;
  };
  const RectF parent{10, 20, 200, 100};
  const Case cases[] = {
      {L"5,6", {30, 40}, {15, 26, 30, 40}},
      {L"-5,-6", {30, 40}, {205, 114, 30, 40}},      // from the right and bottom edges
      {L"|-15,|0", {30, 40}, {95, 70, 30, 40}},      // from the centre, either way
      {L"50%,25%", {30, 40}, {110, 45, 30, 40}},     // of the extent
      {L" 5, 6", {30, 40}, {15, 26, 30, 40}},        // blanks before a number
      {L"0,0,-0,-0", {0, 0}, {10, 20, 200, 100}},    // the whole parent
      {L"10,10,@50,@20", {0, 0}, {20, 30, 50, 20}},  // a corner and a size
      {L"-10,0,10,10", {0, 0}, {200, 20, 0, 10}},    // crossed corners: no negative width
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(WideToUtf8(c.pos));
    LayoutRule rule;
    ASSERT_TRUE(ParsePosRule(c.pos, &rule));
    RectF at = PlaceByRule(rule, parent, c.size);
    EXPECT_FLOAT_EQ(at.x, c.expected.x);
    EXPECT_FLOAT_EQ(at.y, c.expected.y);
    EXPECT_FLOAT_EQ(at.w, c.expected.w);
    EXPECT_FLOAT_EQ(at.h, c.expected.h);
  }
}

TEST(ToolkitLayoutRule, OffsetMovesByAFractionOfTheOwnSize) {
  LayoutRule rule;
  ASSERT_TRUE(ParsePosRule(L"|0,|0", &rule));
  rule.offsetX = -0.5f;
  rule.offsetY = -1;
  RectF at = PlaceByRule(rule, {0, 0, 100, 100}, {40, 20});
  EXPECT_FLOAT_EQ(at.x, 30);
  EXPECT_FLOAT_EQ(at.y, 30);
}

TEST(ToolkitLayoutRule, MalformedRulesLeaveTheOldRule) {
  const wchar_t* bad[] = {L"",      L"5",     L"1,2,3",   L"1,2,3,4,5", L"a,b",   L"1,",
                          L",1",    L"|,1",   L"@5,1",    L"1,@5",      L"--1,1", L"-1%,1",
                          L"1%%,1", L"1,2,|", L"1,2,3,@", L"1;2"};
  LayoutRule rule;
  ASSERT_TRUE(ParsePosRule(L"7,8", &rule));
  for (const wchar_t* pos : bad) {
    SCOPED_TRACE(WideToUtf8(pos));
    EXPECT_FALSE(ParsePosRule(pos, &rule));
    EXPECT_EQ(rule.count, 2);
    EXPECT_FLOAT_EQ(rule.pos[0].value, 7);
    EXPECT_FLOAT_EQ(rule.pos[1].value, 8);
  }
}

}  // namespace
}  // namespace toolkit
