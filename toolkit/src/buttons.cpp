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
  Color color = hover_ ? PaletteOf(*this).accentHover : colorText_;
  render.DrawText(text_, GetClientRect(), font, format_,
                  IsDisabled(true) ? colorTextDisabled_ : color);
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

}  // namespace toolkit
