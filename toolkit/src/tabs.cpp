// Tab controls and their pages.
#include "toolkit/controls.h"

#include "builtin_controls.h"
#include "input_finder.h"
#include "toolkit/ui_context.h"

namespace toolkit {

void RegisterTabControls(UiContext& context) {
  context.RegisterWindowClass<STabCtrl>();
  context.RegisterWindowClass<STabPage>();
}

STabPage* STabCtrl::GetItem(int page) const {
  int index = 0;
  for (size_t i = 0; i < GetChildrenCount(); ++i) {
    auto* tab = dynamic_cast<STabPage*>(GetChild(i));
    if (!tab)
      continue;
    if (index++ == page)
      return tab;
  }
  return nullptr;
}

int STabCtrl::GetItemCount() const {
  int count = 0;
  for (size_t i = 0; i < GetChildrenCount(); ++i)
    count += dynamic_cast<STabPage*>(GetChild(i)) ? 1 : 0;
  return count;
}

bool STabCtrl::SetCurSel(int page) {
  if (!GetItem(page))
    return false;
  int old = curSel_;
  curSel_ = page;
  SHostWnd* host = GetContainer();
  bool hadFocus = host && host->GetFocus() && InputFinder::IsSelfOrAncestor(this, host->GetFocus());
  for (int i = 0; i < GetItemCount(); ++i)
    GetItem(i)->SetVisible(i == page, false);
  // The focus was on the page that went: it moves to the first control of the new one, so the
  // keyboard goes on from there instead of from the window's start.
  if (hadFocus && !host->GetFocus()) {
    std::vector<SWindow*> order = InputFinder(GetItem(page)).FocusOrder();
    if (!order.empty())
      host->SetFocusTo(order.front());
  }
  Invalidate();
  if (old != page) {
    EventTabSelChanged evt(this, old, page);
    FireEvent(evt);
  }
  return true;
}

bool STabCtrl::SetAttribute(const std::wstring& key, const std::wstring& text, bool load) {
  static const AttributeTable<STabCtrl> table{
      {L"curSel",
       [](STabCtrl& tabs, const std::wstring& name, const std::wstring& value, bool loading) {
         int page = 0;
         if (tabs.AttrInt(name, value, &page)) {
           tabs.curSel_ = page;
           if (!loading)
             tabs.SetCurSel(page);
         }
       }},
      // Header-less pages without animation are all this tab control draws.
      {L"tabHeight", &IgnoreAttribute<STabCtrl>},
      {L"animateSteps", &IgnoreAttribute<STabCtrl>},
      {L"tabWidth", &IgnoreAttribute<STabCtrl>},
  };
  return table.Apply(*this, key, text, load) || SWindow::SetAttribute(key, text, load);
}

void STabCtrl::OnInitFinished() {
  if (!GetItem(curSel_))
    curSel_ = 0;
  for (int i = 0; i < GetItemCount(); ++i)
    GetItem(i)->SetVisible(i == curSel_, false);
}

}  // namespace toolkit
