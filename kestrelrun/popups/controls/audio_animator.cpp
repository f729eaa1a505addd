#include "controls/audio_animator.h"

#include "controls/attr_name.h"

namespace popups {

SMicAudioAnimator::SMicAudioAnimator() {
  for (int i = 0; i < kWaveSamples; ++i)
    bars_[i] = BarFor(i, 0);
}

SMicAudioAnimator::~SMicAudioAnimator() {
  Register(false);
}

void SMicAudioAnimator::Start(IWaveSource* source) {
  frameCount_ = 0;
  source_ = source;
  SetVisible(true, false);
  Register(true);
}

void SMicAudioAnimator::Stop() {
  Register(false);
}

void SMicAudioAnimator::Register(bool on) {
  if (on == registered_)
    return;
  if (on) {
    registeredWith_ = GetContainer();
    if (!registeredWith_)
      return;
    registeredWith_->RegisterTimelineHandler(this);
  } else if (registeredWith_) {
    registeredWith_->UnregisterTimelineHandler(this);
    registeredWith_ = nullptr;
  }
  registered_ = on;
}

void SMicAudioAnimator::OnNextFrame() {
  ++frameCount_;
  if (frameCount_ % FrameDivisor(speed_) == 0) {
    frameCount_ = 0;
    ++repaintRequests_;
    Invalidate();
  }
}

bool SMicAudioAnimator::SetAttribute(const std::wstring& key, const std::wstring& text, bool load) {
  // A malformed number is reported and keeps the old value.
  using Value = const std::wstring&;
  static const toolkit::AttributeTable<SMicAudioAnimator> table{
      {
          {L"speed",
           [](SMicAudioAnimator& wave, Value name, Value value, bool) {
             if (!ParseIntAttr(value, &wave.speed_))
               wave.ReportBadValue(name, value, L"a whole number or 0x and hex digits");
           }},
          {L"steps",
           [](SMicAudioAnimator& wave, Value name, Value value, bool) {
             if (!ParseIntAttr(value, &wave.steps_))
               wave.ReportBadValue(name, value, L"a whole number or 0x and hex digits");
           }},
          {L"WaveColor", [](SMicAudioAnimator& wave, Value name, Value value,
                            bool) { wave.AttrColor(name, value, &wave.waveColor_); }},
      },
      toolkit::AttrNames::kAnyCase};
  // An empty wave colour is not one this control takes.
  if (toolkit::SameAttrName(key, L"WaveColor", toolkit::AttrNames::kAnyCase) && text.empty())
    return false;
  return table.Apply(*this, key, text, load) || SImageWnd::SetAttribute(key, text, load);
}

void SMicAudioAnimator::UpdateBars() {
  short samples[kWaveSamples];
  if (!source_ || !source_->CopyLatestWave(samples, kWaveSamples))
    return;
  for (int i = 0; i < kWaveSamples; ++i)
    bars_[i] = BarFor(i, samples[i]);
}

void SMicAudioAnimator::OnPaint(toolkit::IRender& render) {
  // The bars only: the base picture is not drawn. Under a high-contrast theme they take the
  // text colour, which stands out on the window colour the panel below then has.
  UpdateBars();
  const toolkit::SystemColors* system = HighContrast();
  toolkit::Color color = system ? system->windowText : waveColor_;
  for (int i = 0; i < kDrawnBars; ++i) {
    const WaveBar& bar = bars_[i];
    if (bar.height == 0)
      continue;  // a zero-length line would still show its caps as a dot
    float x = static_cast<float>(bar.x);
    render.DrawLine({x, static_cast<float>(bar.top)}, {x, static_cast<float>(bar.bottom)}, 3,
                    color);
  }
}

void SMicAudioAnimator::OnDetach() {
  Register(false);
  SImageWnd::OnDetach();
}

}  // namespace popups
