#include "toolkit/listview.h"

#include <algorithm>
#include <cmath>

#include <pugixml.hpp>

#include "builtin_controls.h"
#include "palette.h"
#include "toolkit/ui_context.h"

namespace toolkit {

void RegisterListView(UiContext& context) {
  context.RegisterWindowClass<SListView>();
}

void ILvAdapter::notifyDataSetChanged() {
  if (view_)
    view_->OnDataSetChanged();
}

void SItemPanel::OnClick() {
  EventItemPanelClick evt(this);
  evt.bubbleUp = false;
  FireEvent(evt);
  if (auto* list = dynamic_cast<SListView*>(GetParent()))
    list->OnItemClick(index_);
}

void SItemPanel::OnPaint(IRender& render) {
  (void)render;
}

void SItemPanel::InitFromTemplate(pugi::xml_node templ) {
  UiContext* context = GetContext();
  if (!context)
    return;
  DiagnosticLog::SourceScope scope(context->Diagnostics(), L"(item template)", nullptr);
  CreateChildren(templ);
}

SListView::SListView() : template_(std::make_unique<pugi::xml_document>()) {
  focusable_ = true;
  ApplyPalette(BuiltInPalette());
}

void SListView::ApplyPalette(const Palette& palette) {
  SWindow::ApplyPalette(palette);
  colorSel_ = palette.selection;
  colorHover_ = palette.rowHover;
}

SListView::~SListView() {
  if (adapter_)
    adapter_->view_ = nullptr;
}

void SListView::CreateChildren(pugi::xml_node node) {
  // The item template is kept for the adapter; the items come only from it.
  if (auto templ = node.child("template")) {
    template_->reset();
    template_->append_copy(templ);
    if (auto height = templ.attribute("itemHeight")) {
      auto value = ParseFloat(Utf8ToWide(height.value()));
      if (value && *value > 0)
        itemHeight_ = *value;
      else
        ReportBadValue(L"itemHeight", Utf8ToWide(height.value()), L"a positive number");
    }
  }
}

bool SListView::SetAttribute(const std::wstring& key, const std::wstring& text, bool load) {
  using Value = const std::wstring&;
  auto selection = [](SListView& list, Value name, Value value, bool) {
    list.AttrColor(name, value, &list.colorSel_);
  };
  static const AttributeTable<SListView> table{
      {L"colorSelText", selection},
      {L"colorSelBkgnd", selection},
      {L"colorHover", [](SListView& list, Value name, Value value,
                         bool) { list.AttrColor(name, value, &list.colorHover_); }},
  };
  return table.Apply(*this, key, text, load) || SWindow::SetAttribute(key, text, load);
}

void SListView::SetAdapter(std::shared_ptr<ILvAdapter> adapter) {
  if (adapter_)
    adapter_->view_ = nullptr;
  adapter_ = std::move(adapter);
  if (adapter_)
    adapter_->view_ = this;
  OnDataSetChanged();
}

void SListView::OnDataSetChanged() {
  DestroyAllChildren();
  scroll_ = 0;
  int count = adapter_ ? adapter_->getCount() : 0;
  pugi::xml_node templ = template_->child("template");
  for (int i = 0; i < count; ++i) {
    auto* panel = static_cast<SItemPanel*>(InsertChild(std::make_unique<SItemPanel>(i)));
    adapter_->getView(i, panel, templ);
  }
  if (sel_ >= count)
    sel_ = -1;
  RequestRelayout();
  Invalidate();
}

SItemPanel* SListView::GetItemPanel(int index) const {
  return index < 0 ? nullptr : dynamic_cast<SItemPanel*>(GetChild(static_cast<size_t>(index)));
}

void SListView::SetSel(int index, bool notify) {
  if (index < -1 || index >= GetItemCount())
    index = -1;
  int old = sel_;
  sel_ = index;
  EnsureVisible(index);
  Invalidate();
  if (old != sel_)
    NotifyChosenItem();
  if (notify && old != sel_) {
    EventLVSelChanged evt(this, old, sel_);
    FireEvent(evt);
  }
}

void SListView::OnFocusChanged(bool focused) {
  if (focused)
    NotifyChosenItem();
}

void SListView::NotifyChosenItem() {
  // Readers follow the chosen item; while the list has the keyboard, it is where the focus is.
  if (SItemPanel* panel = GetItemPanel(sel_)) {
    panel->NotifyAccessible(AccEvent::kSelection);
    if (IsFocused())
      panel->NotifyAccessible(AccEvent::kFocus);
  }
}

void SListView::EnsureVisible(int index) {
  if (index < 0)
    return;
  float top = static_cast<float>(index) * itemHeight_;
  float height = GetClientRect().h;
  if (top < scroll_)
    scroll_ = top;
  else if (top + itemHeight_ > scroll_ + height)
    scroll_ = top + itemHeight_ - height;
  RequestRelayout();
}

void SListView::OnItemClick(int index) {
  SetSel(index, true);
  FireCommand();
}

void SListView::Layout(const RectF& parentClient, IRender& measure) {
  SWindow::Layout(parentClient, measure);
  RectF client = GetClientRect();
  float content = static_cast<float>(GetItemCount()) * itemHeight_;
  scroll_ = std::clamp(scroll_, 0.0f, std::max(0.0f, content - client.h));
  for (int i = 0; i < GetItemCount(); ++i) {
    RectF row{client.x, client.y + static_cast<float>(i) * itemHeight_ - scroll_, client.w,
              itemHeight_};
    GetItemPanel(i)->Layout(row, measure);
  }
}

bool SListView::OnMouseWheel(float notches) {
  scroll_ -= notches * itemHeight_ * 3;
  RequestRelayout();
  return true;
}

bool SListView::OnKeyDown(const KeyEvent& key) {
  int count = GetItemCount();
  if (count == 0)
    return false;
  switch (key.key) {
    case Key::kUp:
      SetSel(std::max(0, sel_ - 1), true);
      return true;
    case Key::kDown:
      SetSel(std::min(count - 1, sel_ + 1), true);
      return true;
    case Key::kHome:
      SetSel(0, true);
      return true;
    case Key::kEnd:
      SetSel(count - 1, true);
      return true;
    case Key::kEnter:
    case Key::kSpace:
      if (sel_ >= 0)
        OnItemClick(sel_);
      return sel_ >= 0;
    default:
      return false;
  }
}

void SListView::OnPaint(IRender& render) {
  // Under a high-contrast theme the rows' text keeps the window colours: the chosen row is
  // framed in the highlight colour instead of filled.
  if (const SystemColors* sys = HighContrast()) {
    if (SItemPanel* panel = GetItemPanel(sel_)) {
      RectF r = panel->GetWindowRect();
      render.StrokeRoundRect({r.x + 1, r.y + 1, r.w - 2, r.h - 2}, 2, 2, sys->highlight);
    }
    return;
  }
  for (int i = 0; i < GetItemCount(); ++i) {
    SItemPanel* panel = GetItemPanel(i);
    if (i == sel_)
      render.FillRect(panel->GetWindowRect(), colorSel_);
    else if (panel->GetSkinState() == SkinState::kHover)
      render.FillRect(panel->GetWindowRect(), colorHover_);
  }
}

}  // namespace toolkit
