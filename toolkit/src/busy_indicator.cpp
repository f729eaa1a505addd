// The turning busy arc.
#include "toolkit/controls.h"

#include <algorithm>
#include <cmath>

#include "builtin_controls.h"
#include "palette.h"
#include "toolkit/ui_context.h"

namespace toolkit {

void RegisterBusyIndicator(UiContext& context) {
  context.RegisterWindowClass<SBusyIndicator>();
}

SBusyIndicator::SBusyIndicator() {
  ApplyPalette(BuiltInPalette());
}

void SBusyIndicator::ApplyPalette(const Palette& palette) {
  SWindow::ApplyPalette(palette);
  colorArc_ = palette.accent;
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

bool SBusyIndicator::SetAttribute(const std::wstring& key, const std::wstring& text, bool load) {
  using Value = const std::wstring&;
  static const AttributeTable<SBusyIndicator> table{
      {L"period",
       [](SBusyIndicator& busy, Value name, Value value, bool) {
         float period = busy.period_;
         if (busy.AttrFloat(name, value, &period) && period >= 100)
           busy.period_ = period;
         else if (period < 100)
           busy.ReportBadValue(name, value, L"at least 100 milliseconds");
       }},
      {L"colorArc", [](SBusyIndicator& busy, Value name, Value value,
                       bool) { busy.AttrColor(name, value, &busy.colorArc_); }},
  };
  return table.Apply(*this, key, text, load) || SWindow::SetAttribute(key, text, load);
}

void SBusyIndicator::OnPaint(IRender& render) {
  RectF rect = GetWindowRect();
  float size = std::min(rect.w, rect.h);
  float width = std::max(2.0f, size / 10);
  PointF centre{rect.x + rect.w / 2, rect.y + rect.h / 2};
  float radius = size / 2 - width;
  // Frames come about every 16 ms; the arc turns once per period.
  float angle = std::fmod(static_cast<float>(frame_) * 16.0f / period_ * 360.0f, 360.0f);
  const SystemColors* sys = HighContrast();
  Color arc = sys ? sys->highlight : colorArc_;
  if (!sys)
    render.StrokeArc(centre, radius, 0, 360, width, Color{arc.r, arc.g, arc.b, 40}, false);
  render.StrokeArc(centre, radius, angle, 100, width, arc, true);
}

}  // namespace toolkit
