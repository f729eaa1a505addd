// Labels, buttons, links, check boxes and pictures.
#include "toolkit/controls.h"

#include <algorithm>

#include "builtin_controls.h"
#include "palette.h"
#include "toolkit/ui_context.h"

namespace toolkit {

void RegisterButtonControls(UiContext& context) {
  context.RegisterWindowClass<SStatic>();
  context.RegisterWindowClass<SButton>();
  context.RegisterWindowClass<SLink>();
  context.RegisterWindowClass<SCheckBox>();
  context.RegisterWindowClass<SImageWnd>();
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
  ApplyPalette(BuiltInPalette());
}

void SButton::ApplyPalette(const Palette& palette) {
  SWindow::ApplyPalette(palette);
  colorText_ = palette.white;
}

SizeF SButton::GetDesiredSize(IRender& measure) {
  SizeF size = SWindow::GetDesiredSize(measure);
  if (!GetSkin())
    size = {size.w + 32, std::max(size.h + 12, 32.0f)};
  return size;
}

void SButton::OnPaint(IRender& render) {
  RectF rect = GetWindowRect();
  if (const SystemColors* sys = HighContrast()) {
    PaintHighContrast(render, *sys);
    return;
  }
  if (!GetSkin() && colorBkgnd_.a == 0) {
    Palette palette = PaletteOf(*this);
    Color fill = palette.accent;
    switch (GetSkinState()) {
      case SkinState::kHover:
        fill = palette.accentHover;
        break;
      case SkinState::kPushed:
        fill = palette.accentPushed;
        break;
      case SkinState::kDisabled:
        fill = palette.accentDisabled;
        break;
      case SkinState::kNormal:
        break;
    }
    render.FillRoundRect(rect, radius_ > 0 ? radius_ : kRadius, fill);
  }
  if (!text_.empty())
    DrawOwnText(render, GetClientRect(), colorText_);
}

// A box in the window colour with a text-coloured border, the highlight under the mouse; the
// text (and any picture child) on top.
void SButton::PaintHighContrast(IRender& render, const SystemColors& sys) {
  RectF rect = GetWindowRect();
  SkinState state = GetSkinState();
  bool marked = state == SkinState::kHover || state == SkinState::kPushed;
  float radius = radius_ > 0 ? radius_ : kRadius;
  render.FillRoundRect(rect, radius, marked ? sys.highlight : sys.window);
  render.StrokeRoundRect(rect, radius, 1,
                         state == SkinState::kDisabled ? sys.grayText : sys.windowText);
  if (text_.empty())
    return;
  Color ink = state == SkinState::kDisabled ? sys.grayText
              : marked                      ? sys.highlightText
                                            : sys.windowText;
  render.DrawText(text_, GetClientRect(), font_, format_, ink);
}

SLink::SLink() {
  format_.align = TextAlign::kLeft;
  focusable_ = true;
  ApplyPalette(BuiltInPalette());
}

void SLink::ApplyPalette(const Palette& palette) {
  SButton::ApplyPalette(palette);
  colorText_ = palette.accent;
}

void SLink::OnPaint(IRender& render) {
  FontDesc font = font_;
  font.underline = hover_ || IsFocused();
  Palette palette = PaletteOf(*this);
  Color color = hover_ ? palette.accentHover : colorText_;
  if (palette.system)
    color = palette.system->hotLight;
  if (IsDisabled(true))
    color = palette.system ? palette.system->grayText : colorTextDisabled_;
  render.DrawText(text_, GetClientRect(), font, format_, color);
}

bool SCheckBox::SetAttribute(const std::wstring& key, const std::wstring& text, bool load) {
  static const AttributeTable<SCheckBox> table{
      {L"checked",
       [](SCheckBox& box, const std::wstring& name, const std::wstring& value, bool) {
         bool on = box.checked_;
         if (box.AttrBool(name, value, &on))
           box.SetCheck(on);
       }},
  };
  return table.Apply(*this, key, text, load) || SButton::SetAttribute(key, text, load);
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
  Palette palette = PaletteOf(*this);
  if (IsChecked()) {
    render.FillRoundRect(box, 4,
                         disabled ? palette.accentDisabled
                         : hover_ ? palette.accentHover
                                  : palette.accent);
    render.DrawLine({box.x + 4, box.y + 8.5f}, {box.x + 7, box.y + 11.5f}, 2, palette.white);
    render.DrawLine({box.x + 7, box.y + 11.5f}, {box.x + 12.5f, box.y + 5}, 2, palette.white);
  } else {
    render.FillRoundRect(box, 4, palette.white);
    render.StrokeRoundRect(box, 4, 1.2f, hover_ ? palette.accent : palette.border);
  }
  // White text (a button's default) would vanish beside the box: the softer text colour then.
  Color color = colorText_.r == 255 && colorText_.g == 255 && colorText_.b == 255 ? palette.textSub
                                                                                  : colorText_;
  if (palette.system)
    color = palette.system->windowText;
  render.DrawText(
      text_, {rect.x + 22, rect.y, std::max(0.0f, rect.w - 22), rect.h}, font_, TextFormat{},
      disabled ? palette.system ? palette.system->grayText : colorTextDisabled_ : color);
}

RectF SCheckBox::GetFocusRect() const {
  RectF rect = GetWindowRect();
  return {rect.x - 3, rect.y - 2, rect.w + 6, rect.h + 4};
}

float SCheckBox::GetFocusRadius() const {
  return 5;
}

SizeF SImageWnd::GetDesiredSize(IRender& measure) {
  return SWindow::GetDesiredSize(measure);
}

}  // namespace toolkit
