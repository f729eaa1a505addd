#include <algorithm>
#include <vector>

#include "toolkit/layout_rule.h"
#include "toolkit/style.h"

namespace toolkit {
namespace {

bool ParsePosItem(std::wstring text, bool allowSize, PosItem* item) {
  item->kind = PosItem::kAbs;
  while (!text.empty() && text.front() == L' ')
    text.erase(0, 1);
  if (!text.empty() && text.front() == L'|') {
    // From the centre the offset may go either way: "|-50".
    item->kind = PosItem::kCenter;
    auto offset = ParseFloat(text.substr(1));
    if (!offset)
      return false;
    item->value = *offset;
    return true;
  } else if (!text.empty() && text.front() == L'@') {
    if (!allowSize)
      return false;
    item->kind = PosItem::kSize;
    text.erase(0, 1);
  } else if (!text.empty() && text.back() == L'%') {
    item->kind = PosItem::kPercent;
    text.pop_back();
  } else if (!text.empty() && text.front() == L'-') {
    item->kind = PosItem::kFromEnd;
    text.erase(0, 1);
  }
  auto value = ParseFloat(text);
  if (!value || *value < 0)
    return false;
  item->value = *value;
  return true;
}

float Resolve(const PosItem& item, float start, float extent) {
  switch (item.kind) {
    case PosItem::kFromEnd:
      return start + extent - item.value;
    case PosItem::kCenter:
      return start + extent / 2 + item.value;
    case PosItem::kPercent:
      return start + extent * item.value / 100;
    case PosItem::kAbs:
    case PosItem::kSize:
      break;
  }
  return start + item.value;
}

}  // namespace

bool ParsePosRule(const std::wstring& value, LayoutRule* rule) {
  std::vector<std::wstring> parts;
  size_t start = 0;
  for (;;) {
    auto comma = value.find(L',', start);
    parts.push_back(value.substr(start, comma == std::wstring::npos ? comma : comma - start));
    if (comma == std::wstring::npos)
      break;
    start = comma + 1;
  }
  if (parts.size() != 2 && parts.size() != 4)
    return false;
  LayoutRule parsed = *rule;
  for (size_t i = 0; i < parts.size(); ++i) {
    if (!ParsePosItem(parts[i], i >= 2, &parsed.pos[i]))
      return false;
  }
  parsed.count = static_cast<int>(parts.size());
  *rule = parsed;
  return true;
}

RectF PlaceByRule(const LayoutRule& rule, const RectF& parent, SizeF size) {
  if (rule.count == 0)
    return parent;
  if (rule.count == 4) {
    float x1 = Resolve(rule.pos[0], parent.x, parent.w);
    float y1 = Resolve(rule.pos[1], parent.y, parent.h);
    float x2 = rule.pos[2].kind == PosItem::kSize ? x1 + rule.pos[2].value
                                                  : Resolve(rule.pos[2], parent.x, parent.w);
    float y2 = rule.pos[3].kind == PosItem::kSize ? y1 + rule.pos[3].value
                                                  : Resolve(rule.pos[3], parent.y, parent.h);
    return {x1, y1, std::max(0.0f, x2 - x1), std::max(0.0f, y2 - y1)};
  }
  float x = Resolve(rule.pos[0], parent.x, parent.w) + rule.offsetX * size.w;
  float y = Resolve(rule.pos[1], parent.y, parent.h) + rule.offsetY * size.h;
  return {x, y, size.w, size.h};
}

}  // namespace toolkit
