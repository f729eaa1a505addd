// The flat look's colours and corner radius, shared by the controls drawn without a skin
// (internal).
#pragma once

#include "toolkit/native_platform.h"
#include "toolkit/render.h"

namespace toolkit {

class SWindow;
class UiContext;

constexpr float kRadius = 6;

// Every colour a control draws with when neither a skin nor an attribute chooses one. Each
// comes from the ui definition's named colour of the same role ("accent", "controlText", ...),
// else from the built-in shade; under a high-contrast theme all come from the system colours.
struct Palette {
  Color accent, accentHover, accentPushed, accentDisabled, border, white;
  Color text, textDisabled, textSub, track, selection, rowHover, readOnly, focus;
  // Set while the high-contrast theme is on: the controls then draw their own shapes with
  // these, and ignore the colours their attributes and skins give.
  const SystemColors* system = nullptr;
};

// The built-in shades, for a control outside any context.
const Palette& BuiltInPalette();
// The definition's named colours over the built-in shades, whatever the theme: what controls
// take as their default colours when they join a tree.
Palette NamedPalette(const UiContext* context);
// The colours to draw with now: the named ones, or the system's under a high-contrast theme.
Palette PaletteOf(const UiContext* context);
// The control's context's palette, or the built-in one.
Palette PaletteOf(const SWindow& control);

}  // namespace toolkit
