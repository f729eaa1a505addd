// The one-line edit.
#include "toolkit/controls.h"

#include "builtin_controls.h"
#include "palette.h"
#include "toolkit/ui_context.h"

namespace toolkit {

void RegisterEditControl(UiContext& context) {
  context.RegisterWindowClass<SEdit>();
}

SEdit::SEdit() {
  margin_[0] = margin_[2] = 8;
  focusable_ = true;
}

bool SEdit::SetAttribute(const std::wstring& key, const std::wstring& text, bool load) {
  auto readOnly = [](SEdit& edit, const std::wstring& name, const std::wstring& value, bool) {
    edit.AttrBool(name, value, &edit.readOnly_);
  };
  static const AttributeTable<SEdit> table{{L"readOnly", readOnly}, {L"readonly", readOnly}};
  return table.Apply(*this, key, text, load) || SWindow::SetAttribute(key, text, load);
}

bool SEdit::OnKeyDown(const KeyEvent& key) {
  if (readOnly_ || key.key != Key::kOther || key.character < 32)
    return false;
  SetWindowText(text_ + key.character);
  return true;
}

void SEdit::OnPaint(IRender& render) {
  RectF rect = GetWindowRect();
  if (colorBkgnd_.a == 0 && !GetSkin()) {
    Palette palette = PaletteOf(*this);
    render.FillRoundRect(rect, kRadius, readOnly_ ? palette.readOnly : palette.white);
    render.StrokeRoundRect(rect, kRadius, 1, IsFocused() ? palette.accent : palette.border);
  }
  TextFormat format = format_;
  format.ellipsis = true;
  if (const SystemColors* sys = HighContrast()) {
    if (colorBkgnd_.a || GetSkin())
      render.StrokeRoundRect(rect, kRadius, 1, sys->windowText);
    render.DrawText(text_, GetClientRect(), font_, format,
                    IsDisabled(true) ? sys->grayText : sys->windowText);
    return;
  }
  render.DrawText(text_, GetClientRect(), font_, format,
                  IsDisabled(true) ? colorTextDisabled_ : colorText_);
}

}  // namespace toolkit
