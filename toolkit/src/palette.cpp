#include "palette.h"

#include <utility>

#include "toolkit/swindow.h"
#include "toolkit/ui_context.h"

namespace toolkit {

Palette PaletteOf(const SWindow& control) {
  Palette palette{kAccent, kAccentHover, kAccentPushed, kAccentDisabled, kBorder, kWhite};
  const UiContext* context = control.GetContext();
  if (!context)
    return palette;
  const SUiDef& def = context->GetUiDef();
  const std::pair<const wchar_t*, Color*> names[] = {
      {L"accent", &palette.accent},
      {L"controlHover", &palette.accentHover},
      {L"accentPushed", &palette.accentPushed},
      {L"controlDisabled", &palette.accentDisabled},
      {L"controlBorder", &palette.border},
      {L"white", &palette.white},
  };
  for (const auto& [name, color] : names) {
    if (auto named = def.FindColor(name))
      *color = *named;
  }
  return palette;
}

}  // namespace toolkit
