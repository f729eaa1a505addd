#include "toolkit/swindow.h"

#include <algorithm>
#include <atomic>

#include "builtin_controls.h"
#include "palette.h"
#include "toolkit/tree_host.h"
#include "toolkit/ui_context.h"

namespace toolkit {
namespace {

bool Intersects(const RectF& a, const RectF& b) {
  return a.x < b.x + b.w && b.x < a.x + a.w && a.y < b.y + b.h && b.y < a.y + a.h;
}

}  // namespace

// Defined with the control, whose name and id it reads.
EventArgs::EventArgs(SWindow* from, int id)
    : sender(from),
      nameFrom(from ? from->GetName() : L""),
      idFrom(from ? from->GetID() : 0),
      id_(id) {}

void RegisterWindowControl(UiContext& context) {
  context.RegisterWindowClass<SWindow>();
}

namespace {
// Accessible ids only need to tell live controls apart; readers ask by id across processes.
std::atomic<long> nextAccId{1};
}  // namespace

SWindow::SWindow() : accId_(nextAccId.fetch_add(1)) {
  ApplyPalette(BuiltInPalette());
}

void SWindow::ApplyPalette(const Palette& palette) {
  colorText_ = palette.text;
  colorTextDisabled_ = palette.textDisabled;
}

const SystemColors* SWindow::HighContrast() const {
  return context_ ? context_->HighContrast() : nullptr;
}

void SWindow::BindContext(UiContext* context) {
  if (context_ || !context)
    return;
  context_ = context;
  font_ = context->GetUiDef().defaultFont;
  ApplyPalette(NamedPalette(context));
  for (auto& child : children_)
    child->BindContext(context);
}

SWindow::~SWindow() {
  if (treeHost_)
    treeHost_->OnControlDestroyed(this);
}

bool SWindow::IsClass(const std::wstring& className) const {
  return className == L"window";
}

SWindow* SWindow::GetChild(size_t index) const {
  return index < children_.size() ? children_[index].get() : nullptr;
}

SWindow* SWindow::InsertChild(std::unique_ptr<SWindow> child) {
  child->parent_ = this;
  child->BindContext(context_);
  children_.push_back(std::move(child));
  SWindow* added = children_.back().get();
  if (treeHost_) {
    treeHost_->AttachControl(added);
    RequestRelayout();
  }
  return added;
}

void SWindow::DestroyAllChildren() {
  std::vector<std::unique_ptr<SWindow>> gone;
  gone.swap(children_);
  if (treeHost_) {
    for (auto& child : gone)
      treeHost_->DetachControl(child.get());
  }
  gone.clear();
  RequestRelayout();
}

SWindow* SWindow::FindChildByName(const std::wstring& name, int depth) const {
  if (depth == 0 || name.empty())
    return nullptr;
  // Breadth first, so the nearest control of that name wins.
  for (const auto& child : children_) {
    if (child->name_ == name)
      return child.get();
  }
  for (const auto& child : children_) {
    if (auto* found = child->FindChildByName(name, depth < 0 ? -1 : depth - 1))
      return found;
  }
  return nullptr;
}

SWindow* SWindow::FindChildByID(int id, int depth) const {
  if (depth == 0)
    return nullptr;
  for (const auto& child : children_) {
    if (child->id_ == id)
      return child.get();
  }
  for (const auto& child : children_) {
    if (auto* found = child->FindChildByID(id, depth < 0 ? -1 : depth - 1))
      return found;
  }
  return nullptr;
}

SHostWnd* SWindow::GetContainer() const {
  return host_;
}

void SWindow::SetWindowText(const std::wstring& text) {
  if (text == text_)
    return;
  text_ = text;
  NotifyAccessible(GetAccRole() == AccRole::kEditText ? AccEvent::kValueChange
                                                      : AccEvent::kNameChange);
  if (rule_.count == 2 && (rule_.width < 0 || rule_.height < 0))
    RequestRelayout();
  Invalidate();
}

void SWindow::ReportBadValue(const std::wstring& name, const std::wstring& value,
                             const wchar_t* expected) const {
  if (context_) {
    context_->Diagnostics().Report(Diagnostic::kBadValue,
                                   L"attribute \"" + name + L"\" of <" + GetObjectClass() +
                                       L"> has the malformed value \"" + value + L"\" (expected " +
                                       expected + L")");
  }
}

bool SWindow::AttrInt(const std::wstring& name, const std::wstring& value, int* out) const {
  auto parsed = ParseInt(value);
  if (!parsed) {
    ReportBadValue(name, value, L"a whole number");
    return false;
  }
  *out = *parsed;
  return true;
}

bool SWindow::AttrFloat(const std::wstring& name, const std::wstring& value, float* out) const {
  auto parsed = ParseFloat(value);
  if (!parsed) {
    ReportBadValue(name, value, L"a number");
    return false;
  }
  *out = *parsed;
  return true;
}

bool SWindow::AttrBool(const std::wstring& name, const std::wstring& value, bool* out) const {
  if (value == L"1" || value == L"true") {
    *out = true;
  } else if (value == L"0" || value == L"false") {
    *out = false;
  } else {
    ReportBadValue(name, value, L"0 or 1");
    return false;
  }
  return true;
}

bool SWindow::AttrColor(const std::wstring& name, const std::wstring& value, Color* out) const {
  auto resolved = context_ ? context_->GetUiDef().Resolve(value) : value;
  auto parsed = ParseColor(resolved);
  if (!parsed) {
    ReportBadValue(name, value, L"#rgb, #rrggbb, #rrggbbaa or @color/name");
    return false;
  }
  *out = *parsed;
  return true;
}

void SWindow::SetVisible(bool visible, bool repaint) {
  if (visible == visible_)
    return;
  visible_ = visible;
  if (!visible && treeHost_)
    treeHost_->OnControlHidden(this);
  NotifyAccessible(visible ? AccEvent::kShow : AccEvent::kHide);
  NotifyShown();
  RequestRelayout();
  if (repaint && parent_)
    parent_->Invalidate();
}

bool SWindow::IsVisible(bool checkParent) const {
  if (!visible_)
    return false;
  return !checkParent || !parent_ || parent_->IsVisible(true);
}

void SWindow::NotifyShown() {
  bool shown = host_ != nullptr && IsVisible(true);
  if (shown != shown_) {
    shown_ = shown;
    OnShownChanged(shown);
  }
  for (auto& child : children_)
    child->NotifyShown();
}

void SWindow::EnableWindow(bool enable, bool repaint) {
  if (enable == enabled_)
    return;
  enabled_ = enable;
  if (!enable && treeHost_)
    treeHost_->OnControlHidden(this);
  NotifyAccessible(AccEvent::kStateChange);
  if (repaint)
    Invalidate();
}

bool SWindow::IsDisabled(bool checkParent) const {
  if (!enabled_)
    return true;
  return checkParent && parent_ && parent_->IsDisabled(true);
}

void SWindow::SetCheck(bool checked) {
  if (checked == checked_)
    return;
  checked_ = checked;
  NotifyAccessible(AccEvent::kStateChange);
  Invalidate();
}

void SWindow::NotifyAccessible(AccEvent event) const {
  if (treeHost_)
    treeHost_->NotifyAccessible(event, this);
}

void SWindow::SetFocus() {
  if (treeHost_)
    treeHost_->SetFocusTo(this);
}

bool SWindow::IsFocused() const {
  return treeHost_ && treeHost_->GetFocus() == this;
}

void SWindow::Invalidate() {
  if (treeHost_)
    treeHost_->InvalidateRect(rect_);
}

void SWindow::SetSkin(std::shared_ptr<ISkinObj> skin) {
  skin_ = std::move(skin);
  if (rule_.count == 2 && (rule_.width < 0 || rule_.height < 0))
    RequestRelayout();
  Invalidate();
}

void SWindow::FireEvent(EventArgs& evt) {
  if (evt.sender == this)
    events_.FireEvent(evt);
  if (evt.handled || !evt.bubbleUp)
    return;
  if (SWindow* owner = GetOwner()) {
    owner->FireEvent(evt);
  } else if (treeHost_) {
    treeHost_->DispatchUnhandled(evt);
  }
}

void SWindow::FireCommand() {
  EventCmd evt(this);
  FireEvent(evt);
}

SizeF SWindow::GetDesiredSize(IRender& measure) {
  SizeF size{0, 0};
  if (skin_)
    size = skin_->GetSkinSize();
  if (!text_.empty()) {
    float maxWidth = format_.wrap && rule_.width > 0 ? rule_.width - margin_[0] - margin_[2] : 0;
    SizeF text = measure.MeasureText(text_, font_, maxWidth);
    size.w = std::max(size.w, text.w + margin_[0] + margin_[2]);
    size.h = std::max(size.h, text.h + margin_[1] + margin_[3]);
  }
  return size;
}

void SWindow::Layout(const RectF& parent, IRender& measure) {
  SizeF size{rule_.width, rule_.height};
  if (rule_.count == 2 && (size.w < 0 || size.h < 0)) {
    SizeF desired = GetDesiredSize(measure);
    if (size.w < 0)
      size.w = desired.w;
    if (size.h < 0)
      size.h = desired.h;
  }
  rect_ = PlaceByRule(rule_, parent, size);
  RectF client = GetClientRect();
  for (auto& child : children_)
    child->Layout(client, measure);
}

RectF SWindow::GetClientRect() const {
  return {rect_.x + margin_[0], rect_.y + margin_[1],
          std::max(0.0f, rect_.w - margin_[0] - margin_[2]),
          std::max(0.0f, rect_.h - margin_[1] - margin_[3])};
}

void SWindow::RequestRelayout() {
  if (treeHost_)
    treeHost_->RequestRelayout();
}

SkinState SWindow::GetSkinState() const {
  if (IsDisabled(true))
    return SkinState::kDisabled;
  if (pushed_ && hover_)
    return SkinState::kPushed;
  if (hover_)
    return SkinState::kHover;
  return SkinState::kNormal;
}

void SWindow::PaintTree(IRender& render, const RectF& dirty) {
  if (!visible_ || rect_.w <= 0 || rect_.h <= 0)
    return;
  // Shadows reach outside the control, so backgrounds are drawn before its own clip.
  bool near = Intersects(rect_, {dirty.x - 24, dirty.y - 24, dirty.w + 48, dirty.h + 48});
  if (!near)
    return;
  if (const SystemColors* sys = HighContrast()) {
    // Thin filled strips are separator lines: they stay visible as text-coloured lines.
    bool line = rect_.w <= 2 || rect_.h <= 2;
    if (colorBkgnd_.a)
      render.FillRoundRect(rect_, radius_, line ? sys->windowText : sys->window);
    if (skin_) {
      // A picture inside a button is part of it: over the button's highlight under the mouse
      // it takes the highlight's text colour, as the button's words do.
      SkinState state = GetSkinState();
      if (state == SkinState::kNormal && parent_ && parent_->IsClass(L"button")) {
        SkinState button = parent_->GetSkinState();
        if (button == SkinState::kHover || button == SkinState::kPushed)
          state = button;
      }
      skin_->DrawHighContrast(render, rect_, state, checked_, *sys);
    }
  } else {
    if (colorBkgnd_.a)
      render.FillRoundRect(rect_, radius_, colorBkgnd_);
    if (skin_)
      skin_->Draw(render, rect_, GetSkinState(), checked_);
  }
  render.PushClip(rect_);
  OnPaint(render);
  for (auto& child : children_)
    child->PaintTree(render, dirty);
  render.PopClip();
}

void SWindow::OnPaint(IRender& render) {
  if (!text_.empty())
    DrawOwnText(render, GetClientRect(), colorText_);
}

void SWindow::DrawOwnText(IRender& render, const RectF& rect, Color color) const {
  bool disabled = IsDisabled(true);
  if (const SystemColors* sys = HighContrast())
    color = disabled ? sys->grayText : sys->windowText;
  else if (disabled)
    color = colorTextDisabled_;
  render.DrawText(text_, rect, font_, format_, color);
}

RectF SWindow::GetFocusRect() const {
  return {rect_.x - 3, rect_.y - 3, rect_.w + 6, rect_.h + 6};
}

float SWindow::GetFocusRadius() const {
  return (radius_ > 0 ? radius_ : kRadius) + 3;
}

bool SWindow::WantsMouse() const {
  return !msgTransparent_ && (!tip_.empty() || cursorHand_);
}

void SWindow::OnMouseHover(bool inside) {
  hover_ = inside;
  Invalidate();
}

void SWindow::OnLButtonDown(PointF at) {
  (void)at;
  pushed_ = true;
  Invalidate();
}

void SWindow::OnLButtonUp(PointF at, bool inside) {
  (void)at;
  pushed_ = false;
  Invalidate();
  if (inside)
    OnClick();
}

bool SWindow::OnKeyDown(const KeyEvent& key) {
  if ((key.key == Key::kEnter || key.key == Key::kSpace) && IsFocusable()) {
    OnClick();
    return true;
  }
  return false;
}

void SWindow::OnAttach(SHostWnd* host) {
  (void)host;
}

void SWindow::OnDetach() {}

}  // namespace toolkit
