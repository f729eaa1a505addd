// The host window's input: the mouse's hover and press, the wheel, the keyboard, the focus and
// its Tab order, all over the tree as InputFinder sees it.
#include "dispatch_guard.h"
#include "input_finder.h"
#include "toolkit/host.h"

namespace toolkit {

void SHostWnd::SetFocusTo(SWindow* control) {
  if (control == focus_)
    return;
  SWindow* old = focus_;
  focus_ = control;
  if (old) {
    old->OnFocusChanged(false);
    old->Invalidate();
  }
  if (focus_) {
    focus_->OnFocusChanged(true);
    focus_->Invalidate();
    focus_->NotifyAccessible(AccEvent::kFocus);
  }
}

void SHostWnd::MoveFocus(bool backwards) {
  if (SWindow* next = InputFinder(root_.get()).NextFocus(focus_, backwards))
    SetFocusTo(next);
}

void SHostWnd::OnControlDestroyed(SWindow* control) {
  if (hover_ == control)
    hover_ = nullptr;
  if (pressed_ == control)
    pressed_ = nullptr;
  if (focus_ == control)
    focus_ = nullptr;
}

void SHostWnd::OnControlHidden(SWindow* control) {
  if (InputFinder::IsSelfOrAncestor(control, hover_)) {
    hover_->OnMouseHover(false);
    hover_ = nullptr;
  }
  if (InputFinder::IsSelfOrAncestor(control, pressed_))
    pressed_ = nullptr;
  if (InputFinder::IsSelfOrAncestor(control, focus_))
    SetFocusTo(nullptr);
}

SWindow* SHostWnd::HitTest(PointF at) const {
  return InputFinder(root_.get()).HitTest(at);
}

void SHostWnd::UpdateHover(PointF at) {
  SWindow* hit = HitTest(at);
  if (hit == hover_)
    return;
  if (hover_)
    hover_->OnMouseHover(false);
  hover_ = hit;
  if (hover_)
    hover_->OnMouseHover(true);
  if (!native_)
    return;
  native_->SetCursor(hover_ && !hover_->IsDisabled(true) ? hover_->GetCursor()
                                                         : CursorKind::kArrow);
  if (hover_ && !hover_->GetToolTipText().empty())
    native_->ShowTooltip(hover_->GetToolTipText(), at);
  else
    native_->HideTooltip();
}

void SHostWnd::OnMouseMove(PointF at) {
  DispatchGuard guard(context_);
  if (pressed_) {
    bool inside = HitTest(at) == pressed_;
    if (inside != pressed_->hover_)
      pressed_->OnMouseHover(inside);
    pressed_->OnMouseDrag(at);
    return;
  }
  UpdateHover(at);
}

void SHostWnd::OnMouseLeave() {
  DispatchGuard guard(context_);
  if (hover_ && !pressed_) {
    hover_->OnMouseHover(false);
    hover_ = nullptr;
  }
  if (native_)
    native_->HideTooltip();
}

void SHostWnd::OnMouseDown(MouseButton button, PointF at) {
  DispatchGuard guard(context_);
  if (button != MouseButton::kLeft)
    return;
  OnLButtonDown(at);
  if (!native_)
    return;
  UpdateHover(at);
  SWindow* hit = HitTest(at);
  if (!hit) {
    if (at.y < captionHeight_)
      native_->BeginDrag();
    return;
  }
  if (hit->IsDisabled(true))
    return;
  pressed_ = hit;
  native_->CaptureMouse(true);
  if (hit->IsFocusable())
    SetFocusTo(hit);
  hit->OnLButtonDown(at);
}

void SHostWnd::OnMouseUp(MouseButton button, PointF at) {
  DispatchGuard guard(context_);
  if (button != MouseButton::kLeft || !pressed_)
    return;
  SWindow* pressed = pressed_;
  pressed_ = nullptr;
  if (native_)
    native_->CaptureMouse(false);
  bool inside = HitTest(at) == pressed && !pressed->IsDisabled(true);
  pressed->OnLButtonUp(at, inside);
}

void SHostWnd::OnMouseWheel(PointF at, float notches) {
  DispatchGuard guard(context_);
  for (SWindow* window = HitTest(at); window; window = window->GetParent()) {
    if (window->OnMouseWheel(notches))
      return;
  }
}

bool SHostWnd::OnKeyEvent(const KeyEvent& key) {
  if (key.key == Key::kTab) {
    MoveFocus(key.shift);
    return true;
  }
  return focus_ && !focus_->IsDisabled(true) && focus_->OnKeyDown(key);
}

void SHostWnd::OnKey(const KeyEvent& key) {
  DispatchGuard guard(context_);
  OnKeyEvent(key);
}

}  // namespace toolkit
