// The attributes every control takes from its layout node, by table.
#include "toolkit/attribute_table.h"
#include "toolkit/swindow.h"
#include "toolkit/ui_context.h"

namespace toolkit {

using Value = const std::wstring&;

const AttributeTable<SWindow>& SWindow::Attributes() {
  static const AttributeTable<SWindow> table{
      {L"name", [](SWindow& w, Value, Value value, bool) { w.name_ = value; }},
      {L"id", [](SWindow& w, Value name, Value value, bool) { w.AttrInt(name, value, &w.id_); }},
      {L"text", [](SWindow& w, Value, Value value, bool) { w.SetWindowText(value); }},
      {L"tip", [](SWindow& w, Value, Value value, bool) { w.tip_ = value; }},
      {L"accName",
       [](SWindow& w, Value, Value value, bool) {
         w.accName_ = value;
         w.NotifyAccessible(AccEvent::kNameChange);
       }},
      {L"accDesc", [](SWindow& w, Value, Value value, bool) { w.accDesc_ = value; }},
      {L"show", &SWindow::SetShowAttr},
      {L"visible", &SWindow::SetShowAttr},
      {L"enable",
       [](SWindow& w, Value name, Value value, bool) {
         bool enable = w.enabled_;
         if (w.AttrBool(name, value, &enable))
           w.EnableWindow(enable);
       }},
      {L"pos",
       [](SWindow& w, Value name, Value value, bool) {
         LayoutRule rule = w.rule_;
         if (!ParsePosRule(value, &rule)) {
           w.ReportBadValue(name, value, L"\"x,y\" or \"x1,y1,x2,y2\"");
         } else {
           w.rule_ = rule;
           w.RequestRelayout();
         }
       }},
      {L"size",
       [](SWindow& w, Value name, Value value, bool) {
         auto size = ParseFloats(value, 2);
         if (!size || (*size)[0] < -1 || (*size)[1] < -1) {
           w.ReportBadValue(name, value, L"\"width,height\"");
         } else {
           w.rule_.width = (*size)[0];
           w.rule_.height = (*size)[1];
           w.RequestRelayout();
         }
       }},
      {L"offset",
       [](SWindow& w, Value name, Value value, bool) {
         auto offset = ParseFloats(value, 2);
         if (!offset) {
           w.ReportBadValue(name, value, L"\"fx,fy\"");
         } else {
           w.rule_.offsetX = (*offset)[0];
           w.rule_.offsetY = (*offset)[1];
           w.RequestRelayout();
         }
       }},
      {L"margin",
       [](SWindow& w, Value name, Value value, bool) {
         auto margin = ParseFloats(value, 4);
         if (!margin)
           margin = ParseFloats(value, 1);
         if (!margin) {
           w.ReportBadValue(name, value, L"\"m\" or \"l,t,r,b\"");
         } else {
           for (size_t i = 0; i < 4; ++i)
             w.margin_[i] = (*margin)[margin->size() == 4 ? i : 0];
           w.RequestRelayout();
         }
       }},
      {L"skin",
       [](SWindow& w, Value, Value value, bool) {
         UiContext* context = w.context_;
         auto skin = context ? context->GetUiDef().FindSkin(value) : nullptr;
         if (!skin && !value.empty()) {
           if (context)
             context->Diagnostics().Report(Diagnostic::kMissingSkin,
                                           L"no skin named \"" + value + L"\"");
         } else {
           w.SetSkin(skin);
         }
       }},
      {L"font",
       [](SWindow& w, Value name, Value value, bool) {
         auto font = ParseFont(value, w.font_);
         if (!font) {
           w.ReportBadValue(name, value, L"\"size:14,weight:700,face:...,underline:1\"");
         } else {
           w.font_ = *font;
           w.RequestRelayout();
         }
       }},
      {L"colorText",
       [](SWindow& w, Value name, Value value, bool) {
         w.AttrColor(name, value, &w.colorText_);
         w.Invalidate();
       }},
      {L"colorTextDisabled", [](SWindow& w, Value name, Value value,
                                bool) { w.AttrColor(name, value, &w.colorTextDisabled_); }},
      {L"colorBkgnd",
       [](SWindow& w, Value name, Value value, bool) {
         w.AttrColor(name, value, &w.colorBkgnd_);
         w.Invalidate();
       }},
      {L"radius",
       [](SWindow& w, Value name, Value value, bool) { w.AttrFloat(name, value, &w.radius_); }},
      {L"align",
       [](SWindow& w, Value name, Value value, bool) {
         if (value == L"left")
           w.format_.align = TextAlign::kLeft;
         else if (value == L"center")
           w.format_.align = TextAlign::kCenter;
         else if (value == L"right")
           w.format_.align = TextAlign::kRight;
         else
           w.ReportBadValue(name, value, L"left, center or right");
       }},
      {L"valign",
       [](SWindow& w, Value name, Value value, bool) {
         if (value == L"top")
           w.format_.valign = TextVAlign::kTop;
         else if (value == L"middle")
           w.format_.valign = TextVAlign::kMiddle;
         else if (value == L"bottom")
           w.format_.valign = TextVAlign::kBottom;
         else
           w.ReportBadValue(name, value, L"top, middle or bottom");
       }},
      {L"multiLines",
       [](SWindow& w, Value name, Value value, bool) { w.AttrBool(name, value, &w.format_.wrap); }},
      {L"dotted", [](SWindow& w, Value name, Value value,
                     bool) { w.AttrBool(name, value, &w.format_.ellipsis); }},
      {L"cursor", [](SWindow& w, Value, Value value, bool) { w.cursorHand_ = value == L"hand"; }},
      {L"focusable", &SWindow::SetFocusableAttr},
      {L"tabStop", &SWindow::SetFocusableAttr},
      {L"msgTransparent", [](SWindow& w, Value name, Value value,
                             bool) { w.AttrBool(name, value, &w.msgTransparent_); }},
  };
  return table;
}

void SWindow::SetShowAttr(SWindow& w, const std::wstring& name, const std::wstring& value, bool) {
  bool show = w.visible_;
  if (w.AttrBool(name, value, &show))
    w.SetVisible(show);
}

void SWindow::SetFocusableAttr(SWindow& w, const std::wstring& name, const std::wstring& value,
                               bool) {
  w.AttrBool(name, value, &w.focusable_);
}

bool SWindow::SetAttribute(const std::wstring& name, const std::wstring& value, bool loading) {
  return Attributes().Apply(*this, name, value, loading);
}

}  // namespace toolkit
