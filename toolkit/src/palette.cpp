#include "palette.h"

#include <utility>

#include "toolkit/swindow.h"
#include "toolkit/ui_context.h"

namespace toolkit {
namespace {

Palette FromSystem(const SystemColors& sys) {
  Palette p;
  p.accent = p.accentHover = p.accentPushed = sys.highlight;
  p.accentDisabled = sys.grayText;
  p.border = sys.windowText;
  p.white = sys.window;
  p.text = sys.windowText;
  p.textDisabled = sys.grayText;
  p.textSub = sys.windowText;
  p.track = sys.window;
  p.selection = sys.highlight;
  p.rowHover = sys.window;
  p.readOnly = sys.window;
  p.focus = sys.windowText;
  return p;
}

}  // namespace

const Palette& BuiltInPalette() {
  static const Palette palette = [] {
    Palette p;
    p.accent = {52, 120, 246, 255};
    p.accentHover = {74, 143, 248, 255};
    p.accentPushed = {31, 99, 209, 255};
    p.accentDisabled = {185, 199, 221, 255};
    p.border = {214, 221, 232, 255};
    p.white = {255, 255, 255, 255};
    p.text = {51, 51, 51, 255};
    p.textDisabled = {170, 176, 186, 255};
    p.textSub = {102, 102, 102, 255};
    p.track = {226, 233, 243, 255};
    p.selection = {232, 241, 254, 255};
    p.rowHover = {244, 247, 252, 255};
    p.readOnly = {248, 250, 253, 255};
    p.focus = {52, 120, 246, 255};
    return p;
  }();
  return palette;
}

Palette PaletteOf(const UiContext* context) {
  if (context) {
    if (const SystemColors* sys = context->HighContrast()) {
      Palette palette = FromSystem(*sys);
      palette.system = sys;
      return palette;
    }
  }
  return NamedPalette(context);
}

Palette NamedPalette(const UiContext* context) {
  if (!context)
    return BuiltInPalette();
  Palette palette = BuiltInPalette();
  const SUiDef& def = context->GetUiDef();
  const std::pair<const wchar_t*, Color*> names[] = {
      {L"accent", &palette.accent},
      {L"controlHover", &palette.accentHover},
      {L"accentPushed", &palette.accentPushed},
      {L"controlDisabled", &palette.accentDisabled},
      {L"controlBorder", &palette.border},
      {L"white", &palette.white},
      {L"controlText", &palette.text},
      {L"controlTextDisabled", &palette.textDisabled},
      {L"controlTextSub", &palette.textSub},
      {L"controlTrack", &palette.track},
      {L"controlSelection", &palette.selection},
      {L"controlRowHover", &palette.rowHover},
      {L"controlReadOnly", &palette.readOnly},
      {L"controlFocus", &palette.focus},
  };
  for (const auto& [name, color] : names) {
    if (auto named = def.FindColor(name))
      *color = *named;
  }
  return palette;
}

Palette PaletteOf(const SWindow& control) {
  return PaletteOf(control.GetContext());
}

}  // namespace toolkit
