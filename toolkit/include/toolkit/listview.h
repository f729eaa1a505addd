// "listview": a vertical list of item panels built from the layout's <template> by an adapter.
// A click on an item selects it, fires EVT_ITEMPANEL_CLICK on the panel, EVT_LV_SELCHANGED and
// then EVT_CMD from the list view.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "toolkit/swindow.h"

namespace pugi {
class xml_document;
}

namespace toolkit {

class SListView;

// One item's panel; its children come from the list view's template.
class SItemPanel : public SWindow {
 public:
  explicit SItemPanel(int index) : index_(index) {}
  static const wchar_t* GetClassName() { return L"itempanel"; }
  const wchar_t* GetObjectClass() const override { return GetClassName(); }
  int GetItemIndex() const { return index_; }
  bool WantsMouse() const override { return true; }
  void OnClick() override;
  void OnPaint(IRender& render) override;
  // Builds the children from a template node.
  void InitFromTemplate(pugi::xml_node templ);

 private:
  int index_;
};

class ILvAdapter {
 public:
  virtual ~ILvAdapter() = default;
  virtual int getCount() = 0;
  // Fills `panel` for `position`; `templ` is the list view's <template> node.
  virtual void getView(int position, SItemPanel* panel, pugi::xml_node templ) = 0;
  void notifyDataSetChanged();

 private:
  friend class SListView;
  SListView* view_ = nullptr;
};

class SAdapterBase : public ILvAdapter {};

// An adapter whose items have named columns.
class SMcAdapterBase : public SAdapterBase {
 public:
  virtual std::wstring GetColumnName(int column) const = 0;
};

class SListView : public SWindow {
 public:
  SListView();
  ~SListView() override;
  TOOLKIT_CLASS_NAME(SWindow, L"listview")

  // The list view keeps the adapter.
  void SetAdapter(std::shared_ptr<ILvAdapter> adapter);
  ILvAdapter* GetAdapter() const { return adapter_.get(); }
  int GetSel() const { return sel_; }
  // Selects `index` (-1 for none) without firing events.
  void SetSel(int index, bool notify = false);
  int GetItemCount() const { return static_cast<int>(GetChildrenCount()); }
  SItemPanel* GetItemPanel(int index) const;
  float GetItemHeight() const { return itemHeight_; }
  void EnsureVisible(int index);

  void CreateChildren(pugi::xml_node node) override;
  bool SetAttribute(const std::wstring& name, const std::wstring& value,
                    bool loading = false) override;
  void Layout(const RectF& parentClient, IRender& measure) override;
  bool WantsMouse() const override { return true; }
  bool IsFocusable() const override { return true; }
  bool OnMouseWheel(float notches) override;
  bool OnKeyDown(const KeyEvent& key) override;
  void OnFocusChanged(bool focused) override;
  void OnPaint(IRender& render) override;

  // Called by the adapter and the panels.
  void OnDataSetChanged();
  void OnItemClick(int index);

 private:
  std::shared_ptr<ILvAdapter> adapter_;
  std::unique_ptr<pugi::xml_document> template_;
  float itemHeight_ = 30;
  float scroll_ = 0;
  int sel_ = -1;
  void ApplyPalette(const Palette& palette) override;
  // Tells readers which item is chosen (and focused, while the list has the keyboard).
  void NotifyChosenItem();
  Color colorSel_;
  Color colorHover_;
};

}  // namespace toolkit
