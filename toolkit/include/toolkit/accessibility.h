// What assistive technology and test tools see of a host window: its shown controls as a list of
// accessible nodes (role, name, description, value, state, place, default action), in the
// tree's order, each with a stable id for as long as the control lives. The platform turns the
// list into its own objects (IAccessible on Windows); the headless host reads it in tests.
// Needs no <windows.h>.
#pragma once

#include <string>
#include <vector>

#include "toolkit/render.h"

namespace toolkit {

class SHostWnd;
class SWindow;

enum class AccRole {
  kNone,  // a plain container: not in the tree, its children take its place
  kWindow,
  kDialog,
  kMenuPopup,
  kButton,
  kCheckBox,
  kLink,
  kStaticText,
  kEditText,
  kProgressBar,
  kSlider,
  kList,
  kListItem,
  kPageTabList,
  kPropertyPage,
  kGraphic,
  kAnimation,
};

enum AccState : unsigned {
  kAccFocused = 1u << 0,
  kAccFocusable = 1u << 1,
  kAccUnavailable = 1u << 2,
  kAccChecked = 1u << 3,
  kAccInvisible = 1u << 4,
  kAccSelected = 1u << 5,
  kAccSelectable = 1u << 6,
  kAccReadOnly = 1u << 7,
  kAccLinked = 1u << 8,
};

enum class AccAction { kNone, kPress, kCheck, kUncheck, kJump, kSelect };

// The words a platform names an action by, for readers and tests.
const wchar_t* AccActionName(AccAction action);
const wchar_t* AccRoleName(AccRole role);

// The events a screen reader follows. `id` names the node (0: the window itself).
enum class AccEvent {
  kFocus,
  kNameChange,
  kValueChange,
  kStateChange,
  kSelection,
  kShow,
  kHide,
  kDialogStart,
  kDialogEnd,
  kReorder,  // controls without a node of their own came or went: the window's list changed
};

struct AccNode {
  long id = 0;      // the control's accessible id; 0 for the window
  int parent = -1;  // index of the nearest ancestor node; -1 for the window
  int depth = 0;
  SWindow* control = nullptr;  // null for the window
  AccRole role = AccRole::kNone;
  std::wstring name, description, value;
  unsigned state = 0;
  RectF rect;  // layout pixels of the window
  AccAction action = AccAction::kNone;
};

// A snapshot of a host window's accessible nodes; node 0 is the window itself.
class AccTree {
 public:
  AccTree() = default;
  explicit AccTree(SHostWnd& host);

  const std::vector<AccNode>& Nodes() const { return nodes_; }
  // The node of accessible id `id`; null when no shown control has it.
  const AccNode* Find(long id) const;
  int IndexOf(long id) const;
  // The nodes directly below node `index`.
  std::vector<int> ChildrenOf(int index) const;
  // The deepest node whose place holds `at`; 0 (the window) when no control does, -1 outside.
  int HitTest(PointF at) const;
  // The node with the keyboard focus; 0 when no control has it.
  int Focus() const;
  // The first node of that name (in tree order); -1 when none.
  int FindByName(const std::wstring& name) const;

 private:
  void Collect(SWindow* control, int parent, int depth);
  std::vector<AccNode> nodes_;
};

// Runs a control's default action as a click would; false when it has none or cannot now.
bool DoAccDefaultAction(SWindow* control);

}  // namespace toolkit
