// The accessible view of a control tree: each class's role and default action by table, the
// names, values and states controls give, and the snapshot of a host window's shown controls.
#include "toolkit/accessibility.h"

#include <string>

#include "toolkit/controls.h"
#include "toolkit/host.h"
#include "toolkit/listview.h"

namespace toolkit {
namespace {

struct ClassRole {
  const wchar_t* className;
  AccRole role;
};

// Most derived first: a check box and a link are buttons too, a slider is a progress bar.
const ClassRole kClassRoles[] = {
    {L"check", AccRole::kCheckBox},       {L"link", AccRole::kLink},
    {L"button", AccRole::kButton},        {L"sliderbar", AccRole::kSlider},
    {L"progress", AccRole::kProgressBar}, {L"text", AccRole::kStaticText},
    {L"edit", AccRole::kEditText},        {L"richedit", AccRole::kEditText},
    {L"img", AccRole::kGraphic},          {L"busy", AccRole::kAnimation},
    {L"listview", AccRole::kList},        {L"itempanel", AccRole::kListItem},
    {L"tabctrl", AccRole::kPageTabList},  {L"page", AccRole::kPropertyPage},
};

struct RoleWords {
  AccRole role;
  const wchar_t* name;
};

const RoleWords kRoleWords[] = {
    {AccRole::kNone, L"none"},
    {AccRole::kWindow, L"window"},
    {AccRole::kDialog, L"dialog"},
    {AccRole::kMenuPopup, L"popup menu"},
    {AccRole::kButton, L"push button"},
    {AccRole::kCheckBox, L"check box"},
    {AccRole::kLink, L"link"},
    {AccRole::kStaticText, L"text"},
    {AccRole::kEditText, L"editable text"},
    {AccRole::kProgressBar, L"progress bar"},
    {AccRole::kSlider, L"slider"},
    {AccRole::kList, L"list"},
    {AccRole::kListItem, L"list item"},
    {AccRole::kPageTabList, L"page tab list"},
    {AccRole::kPropertyPage, L"property page"},
    {AccRole::kGraphic, L"graphic"},
    {AccRole::kAnimation, L"animation"},
};

// Whether readers take the control as one thing, without looking inside (an icon button's
// picture is part of the button, a list item's labels are its name).
bool IsLeafRole(AccRole role) {
  return role == AccRole::kButton || role == AccRole::kCheckBox || role == AccRole::kLink ||
         role == AccRole::kEditText || role == AccRole::kSlider || role == AccRole::kProgressBar ||
         role == AccRole::kListItem;
}

// The texts of a list item's children, joined by spaces.
std::wstring TextsBelow(const SWindow& control) {
  std::wstring joined;
  for (size_t i = 0; i < control.GetChildrenCount(); ++i) {
    const SWindow* child = control.GetChild(i);
    if (!child->IsVisible())
      continue;
    std::wstring part =
        child->GetWindowText().empty() ? TextsBelow(*child) : child->GetWindowText();
    if (!part.empty())
      joined += (joined.empty() ? L"" : L" ") + part;
  }
  return joined;
}

}  // namespace

const wchar_t* AccActionName(AccAction action) {
  switch (action) {
    case AccAction::kPress:
      return L"Press";
    case AccAction::kCheck:
      return L"Check";
    case AccAction::kUncheck:
      return L"Uncheck";
    case AccAction::kJump:
      return L"Jump";
    case AccAction::kSelect:
      return L"Select";
    case AccAction::kNone:
      break;
  }
  return L"";
}

const wchar_t* AccRoleName(AccRole role) {
  for (const RoleWords& words : kRoleWords) {
    if (words.role == role)
      return words.name;
  }
  return L"";
}

AccRole SWindow::GetAccRole() const {
  for (const ClassRole& entry : kClassRoles) {
    if (IsClass(entry.className) || entry.className == std::wstring(GetObjectClass())) {
      // A picture nobody named is decoration; header-less pages are only a grouping, which
      // readers are not shown unless the layout names it.
      bool needsName = entry.role == AccRole::kGraphic || entry.role == AccRole::kPageTabList ||
                       entry.role == AccRole::kPropertyPage;
      if (needsName && GetAccName().empty())
        return AccRole::kNone;
      return entry.role;
    }
  }
  // A plain window is a label when it has words, a named picture when it has a skin.
  if (!text_.empty())
    return AccRole::kStaticText;
  if (!accName_.empty())
    return skin_ ? AccRole::kGraphic : AccRole::kStaticText;
  return AccRole::kNone;
}

std::wstring SWindow::GetAccName() const {
  if (!accName_.empty())
    return accName_;
  if (GetObjectClass() == std::wstring(L"itempanel"))
    return TextsBelow(*this);
  // An edit box's text is its value, not its name.
  if (!text_.empty() && !IsClass(L"edit"))
    return text_;
  // Icon buttons and pictures say in their tip what they are.
  if (!tip_.empty())
    return tip_;
  // A button whose words are labels inside it.
  return IsClass(L"button") ? TextsBelow(*this) : std::wstring();
}

std::wstring SWindow::GetAccDescription() const {
  if (!accDesc_.empty())
    return accDesc_;
  return tip_ != GetAccName() ? tip_ : std::wstring();
}

std::wstring SWindow::GetAccValue() const {
  if (auto* bar = dynamic_cast<const SProgress*>(this))
    return std::to_wstring(bar->GetValue());
  if (IsClass(L"edit"))
    return text_;
  return std::wstring();
}

AccAction SWindow::GetAccAction() const {
  switch (GetAccRole()) {
    case AccRole::kButton:
      return AccAction::kPress;
    case AccRole::kCheckBox:
      return checked_ ? AccAction::kUncheck : AccAction::kCheck;
    case AccRole::kLink:
      return AccAction::kJump;
    case AccRole::kListItem:
      return AccAction::kSelect;
    default:
      return AccAction::kNone;
  }
}

unsigned SWindow::GetAccState() const {
  unsigned state = 0;
  if (IsDisabled(true))
    state |= kAccUnavailable;
  else if (IsFocusable())
    state |= kAccFocusable;
  if (IsFocused())
    state |= kAccFocused;
  if (checked_ && IsClass(L"check"))
    state |= kAccChecked;
  if (rect_.w <= 0 || rect_.h <= 0)
    state |= kAccInvisible;
  if (auto* item = dynamic_cast<const SItemPanel*>(this)) {
    // An item takes the keyboard through its list: the chosen item of a focused list is the
    // focused one, as in a list box.
    state |= kAccSelectable;
    auto* list = dynamic_cast<const SListView*>(parent_);
    if (list && !list->IsDisabled(true))
      state |= kAccFocusable;
    if (list && list->GetSel() == item->GetItemIndex()) {
      state |= kAccSelected;
      if (list->IsFocused())
        state |= kAccFocused;
    }
  }
  if (auto* edit = dynamic_cast<const SEdit*>(this); edit && edit->IsReadOnly())
    state |= kAccReadOnly;
  if (IsClass(L"richedit"))
    state |= kAccReadOnly;
  if (IsClass(L"link"))
    state |= kAccLinked;
  return state;
}

bool DoAccDefaultAction(SWindow* control) {
  if (!control || control->IsDisabled(true) || !control->IsVisible(true) ||
      control->GetAccAction() == AccAction::kNone)
    return false;
  control->OnClick();
  return true;
}

AccTree::AccTree(SHostWnd& host) {
  AccNode window;
  window.role = host.GetAccWindowRole();
  window.name = host.GetWindowTitle();
  RectF body = host.GetBodyRect();
  window.rect = {0, 0, body.w, body.h};
  nodes_.push_back(window);
  if (host.GetRoot())
    Collect(host.GetRoot(), 0, 1);
  // A window without a title is called what its first label says (a dialog's heading).
  for (size_t i = 1; i < nodes_.size() && nodes_[0].name.empty(); ++i) {
    if (nodes_[i].role == AccRole::kStaticText)
      nodes_[0].name = nodes_[i].name;
  }
}

void AccTree::Collect(SWindow* control, int parent, int depth) {
  if (!control->IsVisible())
    return;
  AccRole role = control->GetAccRole();
  int below = parent;
  if (role != AccRole::kNone) {
    AccNode node;
    node.id = control->GetAccId();
    node.parent = parent;
    node.depth = depth;
    node.control = control;
    node.role = role;
    node.name = control->GetAccName();
    node.description = control->GetAccDescription();
    node.value = control->GetAccValue();
    node.state = control->GetAccState();
    node.rect = control->GetWindowRect();
    node.action = control->GetAccAction();
    below = static_cast<int>(nodes_.size());
    nodes_.push_back(std::move(node));
    if (IsLeafRole(role))
      return;
  }
  int next = role == AccRole::kNone ? depth : depth + 1;
  for (size_t i = 0; i < control->GetChildrenCount(); ++i)
    Collect(control->GetChild(i), below, next);
}

const AccNode* AccTree::Find(long id) const {
  int index = IndexOf(id);
  return index < 0 ? nullptr : &nodes_[static_cast<size_t>(index)];
}

int AccTree::IndexOf(long id) const {
  for (size_t i = 0; i < nodes_.size(); ++i) {
    if (nodes_[i].id == id)
      return static_cast<int>(i);
  }
  return -1;
}

std::vector<int> AccTree::ChildrenOf(int index) const {
  std::vector<int> children;
  for (size_t i = 0; i < nodes_.size(); ++i) {
    if (nodes_[i].parent == index)
      children.push_back(static_cast<int>(i));
  }
  return children;
}

int AccTree::HitTest(PointF at) const {
  auto inside = [&](const RectF& r) {
    return at.x >= r.x && at.y >= r.y && at.x < r.x + r.w && at.y < r.y + r.h;
  };
  if (nodes_.empty() || !inside(nodes_[0].rect))
    return -1;
  // Later nodes in tree order lie deeper or above earlier ones.
  for (size_t i = nodes_.size(); i-- > 1;) {
    if (inside(nodes_[i].rect))
      return static_cast<int>(i);
  }
  return 0;
}

int AccTree::Focus() const {
  // The deepest focused node: a focused list's chosen item rather than the list.
  for (size_t i = nodes_.size(); i-- > 1;) {
    if (nodes_[i].state & kAccFocused)
      return static_cast<int>(i);
  }
  return 0;
}

int AccTree::FindByName(const std::wstring& name) const {
  for (size_t i = 0; i < nodes_.size(); ++i) {
    if (nodes_[i].name == name)
      return static_cast<int>(i);
  }
  return -1;
}

}  // namespace toolkit
