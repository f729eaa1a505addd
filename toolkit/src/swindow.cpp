#include "toolkit/swindow.h"

#include <algorithm>

#include "toolkit/host.h"
#include "toolkit/ui_context.h"

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

bool Intersects(const RectF& a, const RectF& b) {
  return a.x < b.x + b.w && b.x < a.x + a.w && a.y < b.y + b.h && b.y < a.y + a.h;
}

}  // namespace

SWindow::SWindow() = default;

void SWindow::BindContext(UiContext* context) {
  if (context_ || !context)
    return;
  context_ = context;
  font_ = context->GetUiDef().defaultFont;
  for (auto& child : children_)
    child->BindContext(context);
}

SWindow::~SWindow() {
  if (host_)
    host_->OnControlDestroyed(this);
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
  if (host_) {
    host_->Attach(added);
    RequestRelayout();
  }
  return added;
}

void SWindow::DestroyAllChildren() {
  std::vector<std::unique_ptr<SWindow>> gone;
  gone.swap(children_);
  if (host_) {
    for (auto& child : gone)
      host_->Detach(child.get());
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

bool SWindow::SetAttribute(const std::wstring& name, const std::wstring& value, bool loading) {
  (void)loading;
  if (name == L"name") {
    name_ = value;
  } else if (name == L"id") {
    AttrInt(name, value, &id_);
  } else if (name == L"text") {
    SetWindowText(value);
  } else if (name == L"tip") {
    tip_ = value;
  } else if (name == L"show" || name == L"visible") {
    bool show = visible_;
    if (AttrBool(name, value, &show))
      SetVisible(show);
  } else if (name == L"enable") {
    bool enable = enabled_;
    if (AttrBool(name, value, &enable))
      EnableWindow(enable);
  } else if (name == L"pos") {
    LayoutRule rule = rule_;
    std::vector<std::wstring> parts;
    size_t start = 0;
    for (;;) {
      auto comma = value.find(L',', start);
      parts.push_back(value.substr(start, comma == std::wstring::npos ? comma : comma - start));
      if (comma == std::wstring::npos)
        break;
      start = comma + 1;
    }
    bool ok = parts.size() == 2 || parts.size() == 4;
    for (size_t i = 0; ok && i < parts.size(); ++i)
      ok = ParsePosItem(parts[i], i >= 2, &rule.pos[i]);
    if (!ok) {
      ReportBadValue(name, value, L"\"x,y\" or \"x1,y1,x2,y2\"");
    } else {
      rule.count = static_cast<int>(parts.size());
      rule_ = rule;
      RequestRelayout();
    }
  } else if (name == L"size") {
    auto size = ParseFloats(value, 2);
    if (!size || (*size)[0] < -1 || (*size)[1] < -1) {
      ReportBadValue(name, value, L"\"width,height\"");
    } else {
      rule_.width = (*size)[0];
      rule_.height = (*size)[1];
      RequestRelayout();
    }
  } else if (name == L"offset") {
    auto offset = ParseFloats(value, 2);
    if (!offset) {
      ReportBadValue(name, value, L"\"fx,fy\"");
    } else {
      rule_.offsetX = (*offset)[0];
      rule_.offsetY = (*offset)[1];
      RequestRelayout();
    }
  } else if (name == L"margin") {
    auto margin = ParseFloats(value, 4);
    if (!margin)
      margin = ParseFloats(value, 1);
    if (!margin) {
      ReportBadValue(name, value, L"\"m\" or \"l,t,r,b\"");
    } else {
      for (size_t i = 0; i < 4; ++i)
        margin_[i] = (*margin)[margin->size() == 4 ? i : 0];
      RequestRelayout();
    }
  } else if (name == L"skin") {
    auto skin = context_ ? context_->GetUiDef().FindSkin(value) : nullptr;
    if (!skin && !value.empty()) {
      if (context_)
        context_->Diagnostics().Report(Diagnostic::kMissingSkin,
                                       L"no skin named \"" + value + L"\"");
    } else {
      SetSkin(skin);
    }
  } else if (name == L"font") {
    auto font = ParseFont(value, font_);
    if (!font) {
      ReportBadValue(name, value, L"\"size:14,weight:700,face:...,underline:1\"");
    } else {
      font_ = *font;
      RequestRelayout();
    }
  } else if (name == L"colorText") {
    AttrColor(name, value, &colorText_);
    Invalidate();
  } else if (name == L"colorTextDisabled") {
    AttrColor(name, value, &colorTextDisabled_);
  } else if (name == L"colorBkgnd") {
    AttrColor(name, value, &colorBkgnd_);
    Invalidate();
  } else if (name == L"radius") {
    AttrFloat(name, value, &radius_);
  } else if (name == L"align") {
    if (value == L"left")
      format_.align = TextAlign::kLeft;
    else if (value == L"center")
      format_.align = TextAlign::kCenter;
    else if (value == L"right")
      format_.align = TextAlign::kRight;
    else
      ReportBadValue(name, value, L"left, center or right");
  } else if (name == L"valign") {
    if (value == L"top")
      format_.valign = TextVAlign::kTop;
    else if (value == L"middle")
      format_.valign = TextVAlign::kMiddle;
    else if (value == L"bottom")
      format_.valign = TextVAlign::kBottom;
    else
      ReportBadValue(name, value, L"top, middle or bottom");
  } else if (name == L"multiLines") {
    AttrBool(name, value, &format_.wrap);
  } else if (name == L"dotted") {
    AttrBool(name, value, &format_.ellipsis);
  } else if (name == L"cursor") {
    cursorHand_ = value == L"hand";
  } else if (name == L"focusable" || name == L"tabStop") {
    AttrBool(name, value, &focusable_);
  } else if (name == L"msgTransparent") {
    AttrBool(name, value, &msgTransparent_);
  } else {
    return false;
  }
  return true;
}

void SWindow::SetVisible(bool visible, bool repaint) {
  if (visible == visible_)
    return;
  visible_ = visible;
  if (!visible && host_)
    host_->OnControlHidden(this);
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
  if (!enable && host_)
    host_->OnControlHidden(this);
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
  Invalidate();
}

void SWindow::SetFocus() {
  if (host_)
    host_->SetFocusTo(this);
}

bool SWindow::IsFocused() const {
  return host_ && host_->GetFocus() == this;
}

void SWindow::Invalidate() {
  if (host_)
    host_->InvalidateRect(rect_);
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
  } else if (host_) {
    host_->DispatchEvent(evt);
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
  if (rule_.count == 0) {
    rect_ = parent;
  } else if (rule_.count == 4) {
    float x1 = Resolve(rule_.pos[0], parent.x, parent.w);
    float y1 = Resolve(rule_.pos[1], parent.y, parent.h);
    float x2 = rule_.pos[2].kind == PosItem::kSize ? x1 + rule_.pos[2].value
                                                   : Resolve(rule_.pos[2], parent.x, parent.w);
    float y2 = rule_.pos[3].kind == PosItem::kSize ? y1 + rule_.pos[3].value
                                                   : Resolve(rule_.pos[3], parent.y, parent.h);
    rect_ = {x1, y1, std::max(0.0f, x2 - x1), std::max(0.0f, y2 - y1)};
  } else {
    SizeF size{rule_.width, rule_.height};
    if (size.w < 0 || size.h < 0) {
      SizeF desired = GetDesiredSize(measure);
      if (size.w < 0)
        size.w = desired.w;
      if (size.h < 0)
        size.h = desired.h;
    }
    float x = Resolve(rule_.pos[0], parent.x, parent.w) + rule_.offsetX * size.w;
    float y = Resolve(rule_.pos[1], parent.y, parent.h) + rule_.offsetY * size.h;
    rect_ = {x, y, size.w, size.h};
  }
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
  if (host_)
    host_->RequestRelayout();
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
  if (colorBkgnd_.a)
    render.FillRoundRect(rect_, radius_, colorBkgnd_);
  if (skin_)
    skin_->Draw(render, rect_, GetSkinState(), checked_);
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
  render.DrawText(text_, rect, font_, format_, IsDisabled(true) ? colorTextDisabled_ : color);
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
