// The host window's side of accessibility: events handed to the platform for readers, and the
// actions readers ask for.
#include "dispatch_guard.h"
#include "toolkit/host.h"

namespace toolkit {

void SHostWnd::NotifyAccessible(AccEvent event, const SWindow* control) {
  if (!native_ || !control)
    return;
  // Only what readers can see: a hidden control's changes are read when it is shown.
  bool hiding = event == AccEvent::kHide;
  if (!hiding && !control->IsVisible(true))
    return;
  if (hiding && control->GetParent() && !control->GetParent()->IsVisible(true))
    return;
  bool ownNode = control->GetAccRole() != AccRole::kNone;
  if ((event == AccEvent::kShow || hiding) && !ownNode)
    event = AccEvent::kReorder;
  else if (!ownNode)
    return;
  native_->NotifyAccessible(event, event == AccEvent::kReorder ? 0 : control->GetAccId());
}

void SHostWnd::NotifyWindowShown(bool shown) {
  if (!native_)
    return;
  bool dialog = GetAccWindowRole() == AccRole::kDialog;
  AccEvent event = dialog ? (shown ? AccEvent::kDialogStart : AccEvent::kDialogEnd)
                          : (shown ? AccEvent::kShow : AccEvent::kHide);
  native_->NotifyAccessible(event, 0);
}

bool SHostWnd::DoAccessibleAction(long id) {
  DispatchGuard guard(context_);
  AccTree tree(*this);
  const AccNode* node = tree.Find(id);
  return node && DoAccDefaultAction(node->control);
}

bool SHostWnd::FocusAccessible(long id) {
  DispatchGuard guard(context_);
  AccTree tree(*this);
  const AccNode* node = tree.Find(id);
  if (!node || !node->control || !node->control->IsFocusable() || node->control->IsDisabled(true))
    return false;
  SetFocusTo(node->control);
  return true;
}

}  // namespace toolkit
