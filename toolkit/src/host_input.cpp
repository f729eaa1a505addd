// The host window's input: the mouse's hover and press, the wheel, the keyboard, the focus and
// its Tab order, all over the tree as InputFinder sees it.
#include "dispatch_guard.h"
#include "input_finder.h"
#include "palette.h"
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
    InvalidateFocusMark(old);
  }
  if (focus_) {
    focus_->OnFocusChanged(true);
    focus_->Invalidate();
    focus_->NotifyAccessible(AccEvent::kFocus);
    InvalidateFocusMark(focus_);
  }
}

void SHostWnd::ShowFocusMark(bool show) {
  if (show == focusMark_)
    return;
  focusMark_ = show;
  if (focus_)
    InvalidateFocusMark(focus_);
}

void SHostWnd::InvalidateFocusMark(SWindow* control) {
  RectF r = control->GetFocusRect();
  InvalidateRect({r.x - 2, r.y - 2, r.w + 4, r.h + 4});
}

// A ring just outside the focused control, drawn over the whole tree so that no parent's clip
// cuts it.
void SHostWnd::PaintFocusMark(IRender& render) {
  if (!focusMark_ || !active_ || !focus_ || !focus_->IsVisible(true))
    return;
  Palette palette = PaletteOf(&context_);
  render.StrokeRoundRect(focus_->GetFocusRect(), focus_->GetFocusRadius(), 2, palette.focus);
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
  ShowFocusMark(false);
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
  if (!focus_ || focus_->IsDisabled(true))
    return false;
  // The focused control first, then its containers (a drop-down opens from its edit).
  for (SWindow* window = focus_; window; window = window->GetParent()) {
    if (window->OnKeyDown(key))
      return true;
  }
  return false;
}

void SHostWnd::OnKey(const KeyEvent& key) {
  DispatchGuard guard(context_);
  ShowFocusMark(true);
  OnKeyEvent(key);
}

}  // namespace toolkit
