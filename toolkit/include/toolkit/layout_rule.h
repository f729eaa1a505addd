// Where a control sits inside its parent: the "pos", "size" and "offset" rules of a layout, read
// from their text and resolved against the parent's client area.
#pragma once

#include <string>

#include "toolkit/render.h"

namespace toolkit {

// One coordinate of a "pos" rule: "12" from the parent's left/top, "-12" from its right/bottom,
// "|12" from its centre, "50%" of its extent, and for the third and fourth "@80" a size.
struct PosItem {
  enum Kind { kAbs, kFromEnd, kCenter, kPercent, kSize } kind = kAbs;
  float value = 0;
};

struct LayoutRule {
  PosItem pos[4];
  int count = 0;     // 0: fill the parent; 2: a corner plus "size"; 4: two corners
  float width = -1;  // from "size"; -1: the content's size
  float height = -1;
  float offsetX = 0;  // "offset": a fraction of the own size added to the corner
  float offsetY = 0;
};

// Reads a "pos" value ("x,y" or "x1,y1,x2,y2") into `rule`'s corners and count; false, with
// `rule` unchanged, when it is malformed.
bool ParsePosRule(const std::wstring& value, LayoutRule* rule);
// The control's rectangle in `parent`. `size` is the rule's size with the content's size put in
// where the rule leaves it open; it is used only by a corner-and-size rule.
RectF PlaceByRule(const LayoutRule& rule, const RectF& parent, SizeF size);

}  // namespace toolkit
