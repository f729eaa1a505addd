// Finds the controls of a tree that input goes to (internal): the one under a point, the Tab
// order of the focusable ones, and whether one control lies inside another.
#pragma once

#include <vector>

#include "toolkit/render.h"

namespace toolkit {

class SWindow;

class InputFinder {
 public:
  explicit InputFinder(SWindow* root) : root_(root) {}

  // The deepest visible control under `at` that takes the mouse; null outside the root.
  SWindow* HitTest(PointF at) const;
  // The visible, enabled, focusable controls in tree order.
  std::vector<SWindow*> FocusOrder() const;
  // The one after `current` in the Tab order (before it with `backwards`), wrapping round; the
  // first (or last) when `current` is not in it; null when nothing takes the focus.
  SWindow* NextFocus(SWindow* current, bool backwards) const;
  // Whether `window` is `ancestor` or lies inside it.
  static bool IsSelfOrAncestor(const SWindow* ancestor, const SWindow* window);

 private:
  SWindow* root_;
};

}  // namespace toolkit
