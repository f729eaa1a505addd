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
  const SystemColors* sys = HighContrast();
  Color arc = sys ? sys->highlight : colorArc_;
  if (!sys)
    render.StrokeArc(centre, radius, 0, 360, width, Color{arc.r, arc.g, arc.b, 40}, false);
  render.StrokeArc(centre, radius, angle, 100, width, arc, true);
}

}  // namespace toolkit
