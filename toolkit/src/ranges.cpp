// Progress bars and sliders.
#include "toolkit/controls.h"

#include <algorithm>
#include <cmath>

#include "builtin_controls.h"
#include "palette.h"
#include "toolkit/ui_context.h"

namespace toolkit {

void RegisterRangeControls(UiContext& context) {
  context.RegisterWindowClass<SProgress>();
  context.RegisterWindowClass<SSliderBar>();
}

SProgress::SProgress() {
  ApplyPalette(BuiltInPalette());
}

void SProgress::ApplyPalette(const Palette& palette) {
  SWindow::ApplyPalette(palette);
  colorBar_ = palette.accent;
  colorTrack_ = palette.track;
}

void SProgress::SetValue(int value) {
  value = std::clamp(value, min_, max_);
  if (value == value_)
    return;
  value_ = value;
  NotifyAccessible(AccEvent::kValueChange);
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

bool SProgress::SetAttribute(const std::wstring& key, const std::wstring& text, bool load) {
  using Value = const std::wstring&;
  static const AttributeTable<SProgress> table{
      {L"min",
       [](SProgress& bar, Value name, Value value, bool) {
         int number = 0;
         if (bar.AttrInt(name, value, &number))
           bar.SetRange(number, std::max(number, bar.max_));
       }},
      {L"max",
       [](SProgress& bar, Value name, Value value, bool) {
         int number = 0;
         if (bar.AttrInt(name, value, &number))
           bar.SetRange(std::min(bar.min_, number), number);
       }},
      {L"value",
       [](SProgress& bar, Value name, Value value, bool) {
         int number = 0;
         if (bar.AttrInt(name, value, &number))
           bar.SetValue(number);
       }},
      {L"colorBar", [](SProgress& bar, Value name, Value value,
                       bool) { bar.AttrColor(name, value, &bar.colorBar_); }},
      {L"colorTrack", [](SProgress& bar, Value name, Value value,
                         bool) { bar.AttrColor(name, value, &bar.colorTrack_); }},
  };
  return table.Apply(*this, key, text, load) || SWindow::SetAttribute(key, text, load);
}

void SProgress::OnPaint(IRender& render) {
  RectF rect = GetWindowRect();
  float radius = rect.h / 2;
  const SystemColors* sys = HighContrast();
  render.FillRoundRect(rect, radius, sys ? sys->window : colorTrack_);
  if (sys)
    render.StrokeRoundRect(rect, radius, 1, sys->windowText);
  float span = static_cast<float>(max_ - min_);
  float part = span > 0 ? static_cast<float>(value_ - min_) / span : 0;
  if (part > 0)
    render.FillRoundRect({rect.x, rect.y, std::max(rect.h, rect.w * part), rect.h}, radius,
                         sys ? sys->highlight : colorBar_);
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
  Palette palette = PaletteOf(*this);
  Color track = palette.system ? palette.system->windowText : colorTrack_;
  Color bar = palette.system ? palette.system->highlight : colorBar_;
  render.FillRoundRect({rect.x + thumb / 2, trackY, std::max(0.0f, rect.w - thumb), 4}, 2, track);
  float span = static_cast<float>(max_ - min_);
  float part = span > 0 ? static_cast<float>(value_ - min_) / span : 0;
  float centre = rect.x + thumb / 2 + part * std::max(0.0f, rect.w - thumb);
  render.FillRoundRect({rect.x + thumb / 2, trackY, centre - rect.x - thumb / 2, 4}, 2,
                       disabled ? palette.accentDisabled : bar);
  RectF knob{centre - thumb / 2 + 1, rect.y + 1, thumb - 2, thumb - 2};
  if (!palette.system)
    render.FillShadow(knob, knob.w / 2, 3, Color{20, 40, 80, 50});
  render.FillEllipse(knob, palette.white);
  if (palette.system)
    render.StrokeArc({knob.x + knob.w / 2, knob.y + knob.h / 2}, knob.w / 2 - 0.5f, 0, 360, 1,
                     palette.system->windowText, false);
  render.FillEllipse({knob.x + knob.w / 4, knob.y + knob.h / 4, knob.w / 2, knob.h / 2},
                     disabled                ? palette.accentDisabled
                     : hover_ || IsFocused() ? palette.accentHover
                                             : bar);
}

}  // namespace toolkit
