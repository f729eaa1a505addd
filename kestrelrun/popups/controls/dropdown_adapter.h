// The items of a device dropdown's list view: a display text, a key (an audio endpoint id) and a
// number (a camera's), shown one per item panel in the template's `device_name_item`.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "toolkit/host.h"
#include "toolkit/listview.h"

namespace popups {

struct DropdownItem {
  std::wstring text;
  std::wstring key;
  std::int32_t value = 0;
};

class CDriverFind_Os_DropBoxListViewAdapter : public toolkit::SMcAdapterBase {
 public:
  explicit CDriverFind_Os_DropBoxListViewAdapter(toolkit::SHostWnd* host) : host_(host) {}

  void AddItem(const DropdownItem& item) { items_.push_back(item); }
  // A copy of item `index`; an empty item for an index out of range.
  DropdownItem GetItem(int index) const;
  int getCount() override { return static_cast<int>(items_.size()); }
  std::wstring GetColumnName(int column) const override;
  // Panel `position` shows item (position mod count), so a position past the end wraps.
  void getView(int position, toolkit::SItemPanel* panel, pugi::xml_node templ) override;
  bool OnSort(int column) {
    (void)column;
    return false;
  }
  toolkit::SHostWnd* Host() const { return host_; }

 private:
  std::vector<DropdownItem> items_;
  toolkit::SHostWnd* host_;
};

}  // namespace popups
