#include "input_finder.h"

#include <algorithm>

#include "toolkit/swindow.h"

namespace toolkit {
namespace {

bool Contains(const RectF& r, PointF p) {
  return p.x >= r.x && p.x < r.x + r.w && p.y >= r.y && p.y < r.y + r.h;
}

void CollectFocusable(SWindow* window, std::vector<SWindow*>* out) {
  if (!window->IsVisible() || window->IsDisabled())
    return;
  if (window->IsFocusable())
    out->push_back(window);
  for (size_t i = 0; i < window->GetChildrenCount(); ++i)
    CollectFocusable(window->GetChild(i), out);
}

SWindow* Hit(SWindow* window, PointF at) {
  for (size_t i = window->GetChildrenCount(); i-- > 0;) {
    SWindow* child = window->GetChild(i);
    if (!child->IsVisible() || !Contains(child->GetWindowRect(), at))
      continue;
    if (SWindow* deeper = Hit(child, at))
      return deeper;
    if (child->WantsMouse())
      return child;
  }
  return nullptr;
}

}  // namespace

SWindow* InputFinder::HitTest(PointF at) const {
  if (!root_ || !Contains(root_->GetWindowRect(), at))
    return nullptr;
  return Hit(root_, at);
}

std::vector<SWindow*> InputFinder::FocusOrder() const {
  std::vector<SWindow*> order;
  if (root_)
    CollectFocusable(root_, &order);
  return order;
}

SWindow* InputFinder::NextFocus(SWindow* current, bool backwards) const {
  std::vector<SWindow*> order = FocusOrder();
  if (order.empty())
    return nullptr;
  auto it = std::find(order.begin(), order.end(), current);
  size_t index;
  if (it == order.end()) {
    index = backwards ? order.size() - 1 : 0;
  } else {
    size_t at = static_cast<size_t>(it - order.begin());
    index = backwards ? (at + order.size() - 1) % order.size() : (at + 1) % order.size();
  }
  return order[index];
}

bool InputFinder::IsSelfOrAncestor(const SWindow* ancestor, const SWindow* window) {
  for (; window; window = window->GetParent()) {
    if (window == ancestor)
      return true;
  }
  return false;
}

}  // namespace toolkit
