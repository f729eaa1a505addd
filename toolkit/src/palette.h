// The flat look's colours and corner radius, shared by the controls drawn without a skin
// (internal).
#pragma once

#include "toolkit/render.h"

namespace toolkit {

class SWindow;

// The one accent colour of the flat look, and the shades built from it: the definition's named
// colours, and these where it names none (a context without definitions).
constexpr Color kAccent{52, 120, 246, 255};
constexpr Color kAccentHover{74, 143, 248, 255};
constexpr Color kAccentPushed{31, 99, 209, 255};
constexpr Color kAccentDisabled{185, 199, 221, 255};
constexpr Color kBorder{214, 221, 232, 255};
constexpr Color kWhite{255, 255, 255, 255};
constexpr float kRadius = 6;

struct Palette {
  Color accent, accentHover, accentPushed, accentDisabled, border, white;
};

// The control's context's named colours, or the built-in shades.
Palette PaletteOf(const SWindow& control);

}  // namespace toolkit
