// The device dropdowns: a read-only edit and a drop button whose popup window lists items. One
// implementation, three copies (microphones, cameras, speakers) that differ only in their class
// names, the name of the popup layout node and of its list view, and their event ids.
//
// Dropping down creates the popup from the layout node the control kept, fires the fill event
// (the host puts an adapter with the items on the list view), then places and shows the popup;
// a click on an item closes it with exit code 1, and the control then fires the selected event
// with the item's index.
#pragma once

#include <memory>
#include <string>

#include <pugixml.hpp>

#include "controls/attr_name.h"
#include "controls/dropdown_placement.h"
#include "toolkit/controls.h"
#include "toolkit/events.h"
#include "toolkit/host.h"
#include "toolkit/listview.h"
#include "toolkit/style.h"
#include "toolkit/swindow.h"
#include "toolkit/ui_context.h"

namespace popups {

// The names and ids of each copy.
template <int N>
struct DropdownCopy;
template <>
struct DropdownCopy<1> {
  static constexpr const wchar_t* kClassName = L"searchDropdownList_1";
  static constexpr const char* kPopupNode = "popupStyle_1";
  static constexpr const wchar_t* kListView = L"lv_dropdown_1";
  static constexpr int kFillEvent = 10030000;
  static constexpr int kSelectedEvent = 10030001;
};
template <>
struct DropdownCopy<2> {
  static constexpr const wchar_t* kClassName = L"searchDropdownList_2";
  static constexpr const char* kPopupNode = "popupStyle_2";
  static constexpr const wchar_t* kListView = L"lv_dropdown_2";
  static constexpr int kFillEvent = 10030002;
  static constexpr int kSelectedEvent = 10030003;
};
template <>
struct DropdownCopy<3> {
  static constexpr const wchar_t* kClassName = L"searchDropdownList_3";
  static constexpr const char* kPopupNode = "popupStyle_3";
  static constexpr const wchar_t* kListView = L"lv_dropdown_3";
  static constexpr int kFillEvent = 10030002;      // copies 2 and 3 share ids: hosts test the
  static constexpr int kSelectedEvent = 10030003;  // sender's control id
};

// Event names as layouts and hosts know them.
inline constexpr const wchar_t* kFillEventName = L"on_fill_search_dropdown_list";
inline constexpr const wchar_t* kSelectedEventName = L"on_dropdown_list_selected";
// Exit codes of the popup: an item was chosen; the host put no item into it.
inline constexpr int kDropChosen = 1;
inline constexpr int kDropEmpty = 2;

// The popup window's list interface.
template <int N>
class IDropdownList {
 public:
  virtual ~IDropdownList() = default;
  virtual toolkit::SListView* GetListView() const = 0;
  // The list view's current selection, -1 for none.
  virtual int GetCurSel() const = 0;
};

template <int N>
class SDropdownList : public toolkit::SDropDownWnd, public IDropdownList<N> {
 public:
  using toolkit::SDropDownWnd::SDropDownWnd;
  toolkit::SListView* GetListView() const override { return list_; }
  int GetCurSel() const override { return list_ ? list_->GetSel() : -1; }
  void SetListView(toolkit::SListView* list) { list_ = list; }

 private:
  toolkit::SListView* list_ = nullptr;
};

template <int N>
class EventFillSearchDropdownList
    : public toolkit::TplEventArgs<EventFillSearchDropdownList<N>, DropdownCopy<N>::kFillEvent> {
 public:
  EventFillSearchDropdownList(toolkit::SWindow* from, std::wstring search, SDropdownList<N>* popup)
      : toolkit::TplEventArgs<EventFillSearchDropdownList<N>, DropdownCopy<N>::kFillEvent>(from),
        searchText(std::move(search)),
        popupWindow(popup) {}
  std::wstring searchText;
  SDropdownList<N>* popupWindow;
  int hasItems = 0;  // the host sets 1 when it put at least one item into the list
};

template <int N>
class EventDropdownListSelected
    : public toolkit::TplEventArgs<EventDropdownListSelected<N>, DropdownCopy<N>::kSelectedEvent> {
 public:
  EventDropdownListSelected(toolkit::SWindow* from, int index)
      : toolkit::TplEventArgs<EventDropdownListSelected<N>, DropdownCopy<N>::kSelectedEvent>(from),
        nIndex(index) {}
  int nIndex;  // -1 when nothing is selected
};

// Holds back the deletion of a popup that ends inside the scope: the toolkit's drop-down window
// deletes itself from its destroy handler, which outside an event dispatch happens while its
// teardown still runs.
class DeferDeletes {
 public:
  explicit DeferDeletes(toolkit::UiContext& context) : context_(context) {
    context_.EnterDispatch();
  }
  ~DeferDeletes() { context_.LeaveDispatch(); }
  DeferDeletes(const DeferDeletes&) = delete;
  DeferDeletes& operator=(const DeferDeletes&) = delete;

 private:
  toolkit::UiContext& context_;
};

template <int N>
class SSearchDropdownList : public toolkit::SWindow, public toolkit::ISDropDownOwner {
 public:
  using Copy = DropdownCopy<N>;
  using PopupWindow = SDropdownList<N>;
  using FillEvent = EventFillSearchDropdownList<N>;
  using SelectedEvent = EventDropdownListSelected<N>;

  explicit SSearchDropdownList(IMonitorArea* monitors = nullptr) : monitors_(monitors) {}
  ~SSearchDropdownList() override { CloseNow(); }

  static const wchar_t* GetClassName() { return Copy::kClassName; }
  const wchar_t* GetObjectClass() const override { return GetClassName(); }
  bool IsClass(const std::wstring& className) const override {
    return className == GetClassName() || toolkit::SWindow::IsClass(className);
  }

  // Opens the popup (a new one each time the previous has gone) and lets the host fill it.
  void DropDown() {
    toolkit::SHostWnd* host = GetContainer();
    if (!host || !popupTemplate_.first_child())
      return;
    DeferDeletes defer(host->GetContext());
    if (!dropWindow_) {
      toolkit::RectF at = GetWindowRect();
      auto* popup = new PopupWindow(host->GetContext(), this);
      dropWindow_ = popup;
      // Built at its largest; placed once the host has filled it.
      if (!popup->Create({at.x - 1, at.y + at.h, at.w + 2, static_cast<float>(maxDropHeight_)},
                         popupTemplate_.first_child())) {
        dropWindow_ = nullptr;
        delete popup;
        return;
      }
      auto* list = popup->template FindChildByName2<toolkit::SListView>(Copy::kListView);
      popup->SetListView(list);
      if (list) {
        list->SetOwner(this);
        list->SetFocus();
      }
    }
    PopupWindow* popup = dropWindow_;
    FillEvent fill(this, searchText_, popup);
    FireEvent(fill);
    if (dropWindow_ != popup)
      return;  // the fill handler closed it
    if (fill.hasItems)
      PlaceAndShow();
    else
      popup->EndDropDown(kDropEmpty);
  }

  PopupWindow* GetDropWindow() const { return dropWindow_; }
  int GetDropAlign() const { return dropAlign_; }
  int GetMaxDropHeight() const { return maxDropHeight_; }
  const std::wstring& GetSearchText() const { return searchText_; }
  void SetSearchText(const std::wstring& text) { searchText_ = text; }

  bool SetAttribute(const std::wstring& key, const std::wstring& text, bool load = false) override {
    using Value = const std::wstring&;
    static const toolkit::AttributeTable<SSearchDropdownList> table{
        {
            {L"dropAlign",
             [](SSearchDropdownList& list, Value name, Value value, bool) {
               if (!ParseIntAttr(value, &list.dropAlign_))
                 list.ReportBadValue(name, value, L"a whole number or 0x and hex digits");
             }},
            {L"maxDropHeight",
             [](SSearchDropdownList& list, Value name, Value value, bool) {
               if (!ParseIntAttr(value, &list.maxDropHeight_))
                 list.ReportBadValue(name, value, L"a whole number or 0x and hex digits");
             }},
        },
        toolkit::AttrNames::kAnyCase};
    return table.Apply(*this, key, text, load) || toolkit::SWindow::SetAttribute(key, text, load);
  }

  // Down, Enter or Space on the edit (the keys reach the control from its children) open the
  // list; the list then has the keyboard. A control with a drop button of its own opens as that
  // button's click does, so a host that disables the button or guards its click (the audio
  // popup while its test starts, or without devices) holds the keyboard back as well.
  bool OnKeyDown(const toolkit::KeyEvent& key) override {
    if (key.key != toolkit::Key::kDown && key.key != toolkit::Key::kEnter &&
        key.key != toolkit::Key::kSpace)
      return false;
    if (toolkit::SButton* button = DropButton()) {
      if (!button->IsDisabled(true))
        button->FireCommand();
    } else {
      DropDown();
    }
    return true;
  }

  // The popup's layout node is kept, not built as a child.
  void CreateChildren(pugi::xml_node node) override {
    pugi::xml_document rest;
    pugi::xml_node copy = rest.append_copy(node);
    popupTemplate_.reset();
    if (pugi::xml_node popup = copy.child(Copy::kPopupNode)) {
      popupTemplate_.append_copy(popup);
      copy.remove_child(popup);
    }
    toolkit::SWindow::CreateChildren(copy);
  }

  // A command from the popup's list view chooses its item and closes the popup.
  void FireEvent(toolkit::EventArgs& evt) override {
    if (evt.sender != this && evt.GetID() == toolkit::EVT_CMD && evt.nameFrom == Copy::kListView &&
        dropWindow_) {
      ++evt.handled;
      dropWindow_->EndDropDown(kDropChosen);
      return;
    }
    toolkit::SWindow::FireEvent(evt);
  }

  // --- ISDropDownOwner ---
  toolkit::SWindow* GetDropDownOwner() override { return this; }
  void OnDestroyDropDown(toolkit::SDropDownWnd* dropDown) override {
    PopupWindow* popup = dropWindow_;
    dropWindow_ = nullptr;
    if (closing_ || !popup || dropDown != popup || dropDown->GetExitCode() != kDropChosen)
      return;
    SelectedEvent selected(this, popup->GetCurSel());
    FireEvent(selected);
  }

  void OnDetach() override {
    CloseNow();
    toolkit::SWindow::OnDetach();
  }

 private:
  toolkit::SButton* DropButton() const {
    for (size_t i = 0; i < GetChildrenCount(); ++i) {
      if (auto* button = dynamic_cast<toolkit::SButton*>(GetChild(i)))
        return button;
    }
    return nullptr;
  }

  // Ends an open popup without a selected event, so that it never outlives the control.
  void CloseNow() {
    if (!dropWindow_)
      return;
    DeferDeletes defer(dropWindow_->GetContext());
    closing_ = true;
    dropWindow_->EndDropDown(toolkit::kDialogCancel);
    dropWindow_ = nullptr;
    closing_ = false;
  }

  void PlaceAndShow() {
    toolkit::SHostWnd* host = GetContainer();
    toolkit::INativeWindow* native = host ? host->GetNative() : nullptr;
    toolkit::INativeWindow* popupNative = dropWindow_->GetNative();
    if (!native || !popupNative)
      return;
    toolkit::RectF origin = native->Geometry();
    toolkit::RectF at = GetWindowRect();
    at.x += origin.x;
    at.y += origin.y;
    toolkit::RectF monitor = monitors_ ? monitors_->MonitorOf(*host) : toolkit::RectF{};
    if (monitor.w <= 0 || monitor.h <= 0)
      monitor = {0, 0, 1e9f, 1e9f};
    toolkit::SListView* list = dropWindow_->GetListView();
    float itemsHeight = list ? static_cast<float>(list->GetItemCount()) * list->GetItemHeight() : 0;
    popupNative->SetGeometry(PlaceDropDown(at, monitor, itemsHeight, maxDropHeight_, dropAlign_), 0,
                             0);
    dropWindow_->ShowWindow(true);
  }

  IMonitorArea* monitors_;
  PopupWindow* dropWindow_ = nullptr;
  int dropAlign_ = 1;
  int maxDropHeight_ = 120;
  std::wstring searchText_;
  pugi::xml_document popupTemplate_;
  bool closing_ = false;
};

using SSearchDropdownList_1 = SSearchDropdownList<1>;
using SSearchDropdownList_2 = SSearchDropdownList<2>;
using SSearchDropdownList_3 = SSearchDropdownList<3>;
using SDropdownList_1 = SDropdownList<1>;
using SDropdownList_2 = SDropdownList<2>;
using SDropdownList_3 = SDropdownList<3>;
using IDropdownList_1 = IDropdownList<1>;
using IDropdownList_2 = IDropdownList<2>;
using IDropdownList_3 = IDropdownList<3>;
using EventFillSearchDropdownList_1 = EventFillSearchDropdownList<1>;
using EventFillSearchDropdownList_2 = EventFillSearchDropdownList<2>;
using EventFillSearchDropdownList_3 = EventFillSearchDropdownList<3>;
using EventDropdownListSelected_1 = EventDropdownListSelected<1>;
using EventDropdownListSelected_2 = EventDropdownListSelected<2>;
using EventDropdownListSelected_3 = EventDropdownListSelected<3>;

}  // namespace popups
