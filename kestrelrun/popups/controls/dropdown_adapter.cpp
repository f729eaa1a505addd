#include "controls/dropdown_adapter.h"

#include <pugixml.hpp>

namespace popups {

DropdownItem CDriverFind_Os_DropBoxListViewAdapter::GetItem(int index) const {
  if (index < 0 || index >= static_cast<int>(items_.size()))
    return {};
  return items_[static_cast<size_t>(index)];
}

std::wstring CDriverFind_Os_DropBoxListViewAdapter::GetColumnName(int column) const {
  static const wchar_t* const kColumns[] = {L"col_nick"};
  return column == 0 ? kColumns[0] : L"";
}

void CDriverFind_Os_DropBoxListViewAdapter::getView(int position, toolkit::SItemPanel* panel,
                                                    pugi::xml_node templ) {
  if (!panel || items_.empty() || position < 0)
    return;
  if (panel->GetChildrenCount() == 0) {
    panel->InitFromTemplate(templ);
    // A click on the panel is taken here so that only the list view's command reports it.
    panel->subscribeEvent(toolkit::EVT_ITEMPANEL_CLICK, [panel](toolkit::EventArgs*) {
      (void)panel->GetItemIndex();
      return true;
    });
  }
  const DropdownItem& item = items_[static_cast<size_t>(position) % items_.size()];
  if (toolkit::SWindow* name = panel->FindChildByName(L"device_name_item"))
    name->SetWindowText(item.text);
}

}  // namespace popups
