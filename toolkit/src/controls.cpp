#include "toolkit/controls.h"

#include <algorithm>
#include <cmath>

#include "builtin_controls.h"
#include "toolkit/ui_context.h"

namespace toolkit {
namespace {

// The one accent colour of the flat look, and the shades built from it.
constexpr Color kAccent{52, 120, 246, 255};
constexpr Color kAccentHover{74, 143, 248, 255};
constexpr Color kAccentPushed{31, 99, 209, 255};
constexpr Color kAccentDisabled{185, 199, 221, 255};
constexpr Color kBorder{214, 221, 232, 255};
constexpr Color kWhite{255, 255, 255, 255};
constexpr float kRadius = 6;

}  // namespace

void RegisterBasicControls(UiContext& context) {
  context.RegisterWindowClass<SWindow>();
  context.RegisterWindowClass<SStatic>();
  context.RegisterWindowClass<SButton>();
  context.RegisterWindowClass<SLink>();
  context.RegisterWindowClass<SCheckBox>();
  context.RegisterWindowClass<SImageWnd>();
  context.RegisterWindowClass<STabCtrl>();
  context.RegisterWindowClass<STabPage>();
  context.RegisterWindowClass<SProgress>();
  context.RegisterWindowClass<SSliderBar>();
  context.RegisterWindowClass<SEdit>();
  context.RegisterWindowClass<SBusyIndicator>();
  context.RegisterWindowClass<SRichEdit>();
  context.RegisterWindowClass<SRealWnd>();
}

SizeF SStatic::GetDesiredSize(IRender& measure) {
  return SWindow::GetDesiredSize(measure);
}

void SStatic::OnPaint(IRender& render) {
  SWindow::OnPaint(render);
}

SButton::SButton() {
  focusable_ = true;
  format_.align = TextAlign::kCenter;
  colorText_ = kWhite;
}

SizeF SButton::GetDesiredSize(IRender& measure) {
  SizeF size = SWindow::GetDesiredSize(measure);
  if (!GetSkin())
    size = {size.w + 32, std::max(size.h + 12, 32.0f)};
  return size;
}

void SButton::OnPaint(IRender& render) {
  RectF rect = GetWindowRect();
  if (!GetSkin() && colorBkgnd_.a == 0) {
    Color fill = kAccent;
    switch (GetSkinState()) {
      case SkinState::kHover:
        fill = kAccentHover;
        break;
      case SkinState::kPushed:
        fill = kAccentPushed;
        break;
      case SkinState::kDisabled:
        fill = kAccentDisabled;
        break;
      case SkinState::kNormal:
        break;
    }
    render.FillRoundRect(rect, radius_ > 0 ? radius_ : kRadius, fill);
  }
  if (IsFocused()) {
    render.StrokeRoundRect({rect.x - 2, rect.y - 2, rect.w + 4, rect.h + 4},
                           (radius_ > 0 ? radius_ : kRadius) + 2, 1.5f, Color{52, 120, 246, 110});
  }
  if (!text_.empty())
    DrawOwnText(render, GetClientRect(), colorText_);
}

SLink::SLink() {
  colorText_ = kAccent;
  format_.align = TextAlign::kLeft;
  focusable_ = true;
}

void SLink::OnPaint(IRender& render) {
  FontDesc font = font_;
  font.underline = hover_ || IsFocused();
  Color color = hover_ ? kAccentHover : colorText_;
  render.DrawText(text_, GetClientRect(), font, format_,
                  IsDisabled(true) ? colorTextDisabled_ : color);
}

bool SCheckBox::SetAttribute(const std::wstring& name, const std::wstring& value, bool loading) {
  if (name == L"checked") {
    bool on = checked_;
    if (AttrBool(name, value, &on))
      SetCheck(on);
    return true;
  }
  return SButton::SetAttribute(name, value, loading);
}

void SCheckBox::OnClick() {
  SetCheck(!IsChecked());
  FireCommand();
}

SizeF SCheckBox::GetDesiredSize(IRender& measure) {
  SizeF text = text_.empty() ? SizeF{0, 0} : measure.MeasureText(text_, font_, 0);
  return {text.w + 22, std::max(text.h, 16.0f)};
}

void SCheckBox::OnPaint(IRender& render) {
  RectF rect = GetWindowRect();
  RectF box{rect.x, rect.y + (rect.h - 16) / 2, 16, 16};
  bool disabled = IsDisabled(true);
  if (IsChecked()) {
    render.FillRoundRect(box, 4, disabled ? kAccentDisabled : hover_ ? kAccentHover : kAccent);
    render.DrawLine({box.x + 4, box.y + 8.5f}, {box.x + 7, box.y + 11.5f}, 2, kWhite);
    render.DrawLine({box.x + 7, box.y + 11.5f}, {box.x + 12.5f, box.y + 5}, 2, kWhite);
  } else {
    render.FillRoundRect(box, 4, kWhite);
    render.StrokeRoundRect(box, 4, 1.2f, hover_ ? kAccent : kBorder);
  }
  if (IsFocused())
    render.StrokeRoundRect({box.x - 2, box.y - 2, 20, 20}, 5, 1, Color{52, 120, 246, 110});
  Color color = colorText_.r == 255 && colorText_.g == 255 && colorText_.b == 255
                    ? Color{102, 102, 102, 255}
                    : colorText_;
  render.DrawText(text_, {rect.x + 22, rect.y, std::max(0.0f, rect.w - 22), rect.h}, font_,
                  TextFormat{}, disabled ? colorTextDisabled_ : color);
}

SizeF SImageWnd::GetDesiredSize(IRender& measure) {
  return SWindow::GetDesiredSize(measure);
}

STabPage* STabCtrl::GetItem(int page) const {
  int index = 0;
  for (size_t i = 0; i < GetChildrenCount(); ++i) {
    auto* tab = dynamic_cast<STabPage*>(GetChild(i));
    if (!tab)
      continue;
    if (index++ == page)
      return tab;
  }
  return nullptr;
}

int STabCtrl::GetItemCount() const {
  int count = 0;
  for (size_t i = 0; i < GetChildrenCount(); ++i)
    count += dynamic_cast<STabPage*>(GetChild(i)) ? 1 : 0;
  return count;
}

bool STabCtrl::SetCurSel(int page) {
  if (!GetItem(page))
    return false;
  int old = curSel_;
  curSel_ = page;
  for (int i = 0; i < GetItemCount(); ++i)
    GetItem(i)->SetVisible(i == page, false);
  Invalidate();
  if (old != page) {
    EventTabSelChanged evt(this, old, page);
    FireEvent(evt);
  }
  return true;
}

bool STabCtrl::SetAttribute(const std::wstring& name, const std::wstring& value, bool loading) {
  if (name == L"curSel") {
    int page = 0;
    if (AttrInt(name, value, &page)) {
      curSel_ = page;
      if (!loading)
        SetCurSel(page);
    }
    return true;
  }
  // Header-less pages without animation are all this tab control draws.
  if (name == L"tabHeight" || name == L"animateSteps" || name == L"tabWidth")
    return true;
  return SWindow::SetAttribute(name, value, loading);
}

void STabCtrl::OnInitFinished() {
  if (!GetItem(curSel_))
    curSel_ = 0;
  for (int i = 0; i < GetItemCount(); ++i)
    GetItem(i)->SetVisible(i == curSel_, false);
}

void SProgress::SetValue(int value) {
  value = std::clamp(value, min_, max_);
  if (value == value_)
    return;
  value_ = value;
  Invalidate();
}

void SProgress::SetRange(int minimum, int maximum) {
  if (maximum < minimum)
    std::swap(minimum, maximum);
  min_ = minimum;
  max_ = maximum;
  value_ = std::clamp(value_, min_, max_);
  Invalidate();
}

void SProgress::GetRange(int* minimum, int* maximum) const {
  if (minimum)
    *minimum = min_;
  if (maximum)
    *maximum = max_;
}

bool SProgress::SetAttribute(const std::wstring& name, const std::wstring& value, bool loading) {
  int number = 0;
  if (name == L"min" || name == L"max" || name == L"value") {
    if (AttrInt(name, value, &number)) {
      if (name == L"min")
        SetRange(number, std::max(number, max_));
      else if (name == L"max")
        SetRange(std::min(min_, number), number);
      else
        SetValue(number);
    }
    return true;
  }
  if (name == L"colorBar")
    return AttrColor(name, value, &colorBar_), true;
  if (name == L"colorTrack")
    return AttrColor(name, value, &colorTrack_), true;
  return SWindow::SetAttribute(name, value, loading);
}

void SProgress::OnPaint(IRender& render) {
  RectF rect = GetWindowRect();
  float radius = rect.h / 2;
  render.FillRoundRect(rect, radius, colorTrack_);
  float span = static_cast<float>(max_ - min_);
  float part = span > 0 ? static_cast<float>(value_ - min_) / span : 0;
  if (part > 0)
    render.FillRoundRect({rect.x, rect.y, std::max(rect.h, rect.w * part), rect.h}, radius,
                         colorBar_);
}

SSliderBar::SSliderBar() {
  focusable_ = true;
}

int SSliderBar::ValueAt(float x) const {
  RectF rect = GetWindowRect();
  float thumb = rect.h;
  float track = std::max(1.0f, rect.w - thumb);
  float part = std::clamp((x - rect.x - thumb / 2) / track, 0.0f, 1.0f);
  return min_ + static_cast<int>(std::lround(part * static_cast<float>(max_ - min_)));
}

void SSliderBar::MoveTo(int value) {
  value = std::clamp(value, min_, max_);
  if (value == value_)
    return;
  SetValue(value);
  EventSliderPos evt(this, value_);
  FireEvent(evt);
}

void SSliderBar::OnLButtonDown(PointF at) {
  SWindow::OnLButtonDown(at);
  MoveTo(ValueAt(at.x));
}

void SSliderBar::OnMouseDrag(PointF at) {
  MoveTo(ValueAt(at.x));
}

bool SSliderBar::OnKeyDown(const KeyEvent& key) {
  switch (key.key) {
    case Key::kLeft:
    case Key::kDown:
      MoveTo(value_ - 1);
      return true;
    case Key::kRight:
    case Key::kUp:
      MoveTo(value_ + 1);
      return true;
    case Key::kHome:
      MoveTo(min_);
      return true;
    case Key::kEnd:
      MoveTo(max_);
      return true;
    default:
      return false;
  }
}

bool SSliderBar::OnMouseWheel(float notches) {
  MoveTo(value_ + static_cast<int>(std::lround(notches * 5)));
  return true;
}

void SSliderBar::OnPaint(IRender& render) {
  RectF rect = GetWindowRect();
  float thumb = rect.h;
  float trackY = rect.y + rect.h / 2 - 2;
  bool disabled = IsDisabled(true);
  render.FillRoundRect({rect.x + thumb / 2, trackY, std::max(0.0f, rect.w - thumb), 4}, 2,
                       colorTrack_);
  float span = static_cast<float>(max_ - min_);
  float part = span > 0 ? static_cast<float>(value_ - min_) / span : 0;
  float centre = rect.x + thumb / 2 + part * std::max(0.0f, rect.w - thumb);
  render.FillRoundRect({rect.x + thumb / 2, trackY, centre - rect.x - thumb / 2, 4}, 2,
                       disabled ? kAccentDisabled : colorBar_);
  RectF knob{centre - thumb / 2 + 1, rect.y + 1, thumb - 2, thumb - 2};
  render.FillShadow(knob, knob.w / 2, 3, Color{20, 40, 80, 50});
  render.FillEllipse(knob, kWhite);
  render.FillEllipse({knob.x + knob.w / 4, knob.y + knob.h / 4, knob.w / 2, knob.h / 2},
                     disabled                ? kAccentDisabled
                     : hover_ || IsFocused() ? kAccentHover
                                             : colorBar_);
}

SEdit::SEdit() {
  margin_[0] = margin_[2] = 8;
  focusable_ = true;
}

bool SEdit::SetAttribute(const std::wstring& name, const std::wstring& value, bool loading) {
  if (name == L"readOnly" || name == L"readonly") {
    AttrBool(name, value, &readOnly_);
    return true;
  }
  return SWindow::SetAttribute(name, value, loading);
}

bool SEdit::OnKeyDown(const KeyEvent& key) {
  if (readOnly_ || key.key != Key::kOther || key.character < 32)
    return false;
  SetWindowText(text_ + key.character);
  return true;
}

void SEdit::OnPaint(IRender& render) {
  RectF rect = GetWindowRect();
  if (colorBkgnd_.a == 0 && !GetSkin()) {
    render.FillRoundRect(rect, kRadius, readOnly_ ? Color{248, 250, 253, 255} : kWhite);
    render.StrokeRoundRect(rect, kRadius, 1, IsFocused() ? kAccent : kBorder);
  }
  TextFormat format = format_;
  format.ellipsis = true;
  render.DrawText(text_, GetClientRect(), font_, format,
                  IsDisabled(true) ? colorTextDisabled_ : colorText_);
}

SBusyIndicator::~SBusyIndicator() {
  Register(false);
}

void SBusyIndicator::Register(bool on) {
  SHostWnd* host = GetContainer();
  if (!host || on == registered_)
    return;
  registered_ = on;
  if (on)
    host->RegisterTimelineHandler(this);
  else
    host->UnregisterTimelineHandler(this);
}

void SBusyIndicator::OnShownChanged(bool shown) {
  Register(shown);
}

void SBusyIndicator::OnDetach() {
  Register(false);
}

void SBusyIndicator::OnNextFrame() {
  ++frame_;
  Invalidate();
}

bool SBusyIndicator::SetAttribute(const std::wstring& name, const std::wstring& value,
                                  bool loading) {
  if (name == L"period") {
    float period = period_;
    if (AttrFloat(name, value, &period) && period >= 100)
      period_ = period;
    else if (period < 100)
      ReportBadValue(name, value, L"at least 100 milliseconds");
    return true;
  }
  if (name == L"colorArc")
    return AttrColor(name, value, &colorArc_), true;
  return SWindow::SetAttribute(name, value, loading);
}

void SBusyIndicator::OnPaint(IRender& render) {
  RectF rect = GetWindowRect();
  float size = std::min(rect.w, rect.h);
  float width = std::max(2.0f, size / 10);
  PointF centre{rect.x + rect.w / 2, rect.y + rect.h / 2};
  float radius = size / 2 - width;
  // Frames come about every 16 ms; the arc turns once per period.
  float angle = std::fmod(static_cast<float>(frame_) * 16.0f / period_ * 360.0f, 360.0f);
  render.StrokeArc(centre, radius, 0, 360, width, Color{colorArc_.r, colorArc_.g, colorArc_.b, 40},
                   false);
  render.StrokeArc(centre, radius, angle, 100, width, colorArc_, true);
}

bool SRichEdit::SetAttribute(const std::wstring& name, const std::wstring& value, bool loading) {
  if (name == L"rtf") {
    source_ = value;
    UiContext* context = GetContext();
    auto bytes = context ? context->LoadRawResource(value, L"RTF") : std::nullopt;
    if (!bytes) {
      if (context)
        context->Diagnostics().Report(Diagnostic::kMissingLayout,
                                      L"no rich text named \"" + value + L"\"");
      rtf_.clear();
    } else {
      rtf_ = *bytes;
    }
    return true;
  }
  // The view is always read-only, wrapping, with a vertical scroll bar only.
  if (name == L"readOnly" || name == L"multiLines" || name == L"wordWrap" ||
      name == L"vscrollBar" || name == L"hscrollBar" || name == L"autoVScroll")
    return true;
  return SWindow::SetAttribute(name, value, loading);
}

void SRichEdit::OnAttach(SHostWnd* host) {
  if (host->GetNative() && !child_)
    child_ = host->GetNative()->CreateRichTextChild(rtf_);
  Place();
}

void SRichEdit::OnDetach() {
  SHostWnd* host = GetContainer();
  if (host && host->GetNative() && child_)
    host->GetNative()->DestroyChild(child_);
  child_ = 0;
}

void SRichEdit::Place() {
  SHostWnd* host = GetContainer();
  if (host && host->GetNative() && child_) {
    host->GetNative()->PlaceChild(child_, GetWindowRect(), IsVisible(true));
  }
}

void SRichEdit::OnShownChanged(bool shown) {
  (void)shown;
  Place();
}

void SRichEdit::Layout(const RectF& parentClient, IRender& measure) {
  SWindow::Layout(parentClient, measure);
  Place();
}

void SRichEdit::OnFocusChanged(bool focused) {
  SHostWnd* host = GetContainer();
  if (focused && host && host->GetNative() && child_)
    host->GetNative()->FocusChild(child_);
}

void SRichEdit::OnPaint(IRender& render) {
  RectF rect = GetWindowRect();
  render.FillRect(rect, kWhite);
}

bool SRealWnd::SetAttribute(const std::wstring& name, const std::wstring& value, bool loading) {
  if (name == L"wndclass") {
    wndClass_ = value;
    return true;
  }
  if (name == L"wndname") {
    wndName_ = value;
    return true;
  }
  return SWindow::SetAttribute(name, value, loading);
}

void SRealWnd::OnAttach(SHostWnd* host) {
  IRealWndHandler* handler = host->GetContext().GetRealWndHandler();
  if (handler && !hwnd_)
    hwnd_ = handler->OnRealWndCreate(this);
  Place();
}

void SRealWnd::OnDetach() {
  SHostWnd* host = GetContainer();
  IRealWndHandler* handler = host ? host->GetContext().GetRealWndHandler() : nullptr;
  if (handler && (hwnd_ || data_))
    handler->OnRealWndDestroy(this);
  hwnd_ = 0;
}

void SRealWnd::Place() {
  SHostWnd* host = GetContainer();
  if (host && host->GetNative() && hwnd_)
    host->GetNative()->PlaceChild(hwnd_, GetWindowRect(), IsVisible(true));
}

void SRealWnd::OnShownChanged(bool shown) {
  (void)shown;
  Place();
}

void SRealWnd::Layout(const RectF& parentClient, IRender& measure) {
  SWindow::Layout(parentClient, measure);
  Place();
}

}  // namespace toolkit
