// The control tree: SWindow is every control's base. A control has a name, an id, a text, a
// position rule relative to its parent, a skin and a state; it paints itself through IRender and
// hands its events to its owner (its parent unless set otherwise) up to the host window.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "toolkit/accessibility.h"
#include "toolkit/attribute_table.h"
#include "toolkit/events.h"
#include "toolkit/layout_rule.h"
#include "toolkit/native_window.h"
#include "toolkit/render.h"
#include "toolkit/style.h"

namespace pugi {
class xml_node;
}

namespace toolkit {

class ITreeHost;
struct Palette;
struct SystemColors;
class SHostWnd;
class UiContext;

// Declares a control class's layout name: the name, the object's name, and the class test that
// also answers for the names of `Base` and its bases. Used inside the class, under "public:".
#define TOOLKIT_CLASS_NAME(Base, name)                              \
  static const wchar_t* GetClassName() {                            \
    return name;                                                    \
  }                                                                 \
  const wchar_t* GetObjectClass() const override {                  \
    return GetClassName();                                          \
  }                                                                 \
  bool IsClass(const std::wstring& className) const override {      \
    return className == GetClassName() || Base::IsClass(className); \
  }

class SWindow {
 public:
  SWindow();
  virtual ~SWindow();
  SWindow(const SWindow&) = delete;
  SWindow& operator=(const SWindow&) = delete;

  static const wchar_t* GetClassName() { return L"window"; }
  virtual const wchar_t* GetObjectClass() const { return GetClassName(); }
  // The class test: true for this control's layout class name and those of its bases.
  virtual bool IsClass(const std::wstring& className) const;

  // --- the tree ---
  SWindow* GetParent() const { return parent_; }
  // Receives this control's unhandled events; the parent unless SetOwner changed it.
  SWindow* GetOwner() const { return owner_ ? owner_ : parent_; }
  void SetOwner(SWindow* owner) { owner_ = owner; }
  size_t GetChildrenCount() const { return children_.size(); }
  SWindow* GetChild(size_t index) const;
  SWindow* InsertChild(std::unique_ptr<SWindow> child);
  void DestroyAllChildren();
  // Searches `depth` levels below (-1: the whole subtree); null when absent.
  SWindow* FindChildByName(const std::wstring& name, int depth = -1) const;
  SWindow* FindChildByID(int id, int depth = -1) const;
  template <class T>
  T* FindChildByName2(const std::wstring& name, int depth = -1) const {
    return dynamic_cast<T*>(FindChildByName(name, depth));
  }
  // The host window the control is shown in; null before it is attached.
  SHostWnd* GetContainer() const;
  // The context of the tree the control belongs to (it has it from its parent, and from its
  // host window before that window is shown); null for a control in no tree yet.
  UiContext* GetContext() const { return context_; }

  // --- identity, text and state ---
  const std::wstring& GetName() const { return name_; }
  void SetName(const std::wstring& name) { name_ = name; }
  int GetID() const { return id_; }
  void SetID(int id) { id_ = id; }
  virtual void SetWindowText(const std::wstring& text);
  const std::wstring& GetWindowText() const { return text_; }
  const std::wstring& GetToolTipText() const { return tip_; }

  // Sets one attribute as a layout would ("show" "0", "skin" "_skin.x", "pos" "21,5", ...).
  // Returns false for an attribute the control does not know; a malformed value is reported
  // to the application's diagnostics and leaves the old value.
  virtual bool SetAttribute(const std::wstring& name, const std::wstring& value,
                            bool loading = false);

  void SetVisible(bool visible, bool repaint = true);
  // With `checkParent`, visible only when every ancestor (and the tab page) is shown too.
  bool IsVisible(bool checkParent = false) const;
  void EnableWindow(bool enable, bool repaint = true);
  bool IsDisabled(bool checkParent = false) const;
  virtual void SetCheck(bool checked);
  virtual bool IsChecked() const { return checked_; }
  void SetFocus();
  bool IsFocused() const;
  RectF GetWindowRect() const { return rect_; }
  void Invalidate();
  // Tells the host window's readers that something about this control changed.
  void NotifyAccessible(AccEvent event) const;

  // --- events ---
  SEventSet* GetEventSet() { return &events_; }
  int subscribeEvent(int eventId, EventHandler handler) {
    return events_.subscribeEvent(eventId, std::move(handler));
  }
  // Fills in the sender's name and id, calls the subscribers, then hands the event on to the
  // owner (and finally the host window) while nobody handled it.
  virtual void FireEvent(EventArgs& evt);
  void FireCommand();

  // --- layout ---
  const LayoutRule& GetLayoutRule() const { return rule_; }
  // The size the control wants when "size" leaves it open.
  virtual SizeF GetDesiredSize(IRender& measure);
  // Places the control inside its parent's client area and lays out the children.
  virtual void Layout(const RectF& parentClient, IRender& measure);
  RectF GetClientRect() const;
  void RequestRelayout();

  // --- painting ---
  void PaintTree(IRender& render, const RectF& dirty);
  virtual void OnPaint(IRender& render);
  SkinState GetSkinState() const;
  const FontDesc& GetFont() const { return font_; }
  const std::shared_ptr<ISkinObj>& GetSkin() const { return skin_; }
  void SetSkin(std::shared_ptr<ISkinObj> skin);

  // --- input (called by the host window) ---
  virtual bool WantsMouse() const;
  virtual bool IsFocusable() const { return false; }
  virtual CursorKind GetCursor() const { return CursorKind::kArrow; }
  virtual void OnMouseHover(bool inside);
  virtual void OnLButtonDown(PointF at);
  virtual void OnMouseDrag(PointF at) { (void)at; }
  // `inside`: released over the control it was pressed on.
  virtual void OnLButtonUp(PointF at, bool inside);
  virtual bool OnMouseWheel(float notches) {
    (void)notches;
    return false;
  }
  // Enter and Space click a focused clickable control; returns true when used.
  virtual bool OnKeyDown(const KeyEvent& key);
  virtual void OnClick() {}
  virtual void OnFocusChanged(bool focused) { (void)focused; }
  // Where the host draws the focus mark round the focused control, and its corner radius.
  virtual RectF GetFocusRect() const;
  virtual float GetFocusRadius() const;

  // --- accessibility ---
  // How readers see the control; kNone keeps it out of the tree (its children take its place).
  virtual AccRole GetAccRole() const;
  // The layout's "accName", else the control's own words (its text, or its tip for a picture).
  virtual std::wstring GetAccName() const;
  // The layout's "accDesc", else the tip when the name does not already say it.
  std::wstring GetAccDescription() const;
  // A progress bar's or slider's number, an edit box's text.
  virtual std::wstring GetAccValue() const;
  virtual unsigned GetAccState() const;
  virtual AccAction GetAccAction() const;
  // Unique among the controls of a process while the control lives; never 0.
  long GetAccId() const { return accId_; }

  // --- life ---
  // Builds the children from a layout node; controls that keep parts of their node (templates,
  // pop-up layouts) override it.
  virtual void CreateChildren(pugi::xml_node node);
  // Called once the control and its children are built from the layout.
  virtual void OnInitFinished() {}
  // The host window was created (or the control inserted into a live one).
  virtual void OnAttach(SHostWnd* host);
  virtual void OnDetach();
  // Whether the control can now be seen (itself, its ancestors and its tab page).
  virtual void OnShownChanged(bool shown) { (void)shown; }
  void NotifyShown();

 protected:
  // Text, colours and alignment as set by the attributes.
  void DrawOwnText(IRender& render, const RectF& rect, Color color) const;
  bool AttrInt(const std::wstring& name, const std::wstring& value, int* out) const;
  bool AttrFloat(const std::wstring& name, const std::wstring& value, float* out) const;
  bool AttrBool(const std::wstring& name, const std::wstring& value, bool* out) const;
  bool AttrColor(const std::wstring& name, const std::wstring& value, Color* out) const;
  void ReportBadValue(const std::wstring& name, const std::wstring& value,
                      const wchar_t* expected) const;
  // Takes the control's default colours from `palette`: from the built-in shades when it is
  // made, from its context's named colours when it joins a tree (attributes come after).
  virtual void ApplyPalette(const Palette& palette);
  // The high-contrast theme's colours while it is on, else null.
  const SystemColors* HighContrast() const;

  std::wstring text_;
  std::wstring tip_;
  std::wstring accName_, accDesc_;
  FontDesc font_;
  TextFormat format_;
  Color colorText_;
  Color colorTextDisabled_;
  Color colorBkgnd_{0, 0, 0, 0};
  float radius_ = 0;
  float margin_[4] = {0, 0, 0, 0};  // inset of the client area: left, top, right, bottom
  bool hover_ = false;
  bool pushed_ = false;
  bool checked_ = false;
  bool cursorHand_ = false;
  bool focusable_ = false;
  bool msgTransparent_ = false;

 private:
  // The attributes of every control; subclasses keep tables of their own for what they add.
  static const AttributeTable<SWindow>& Attributes();
  static void SetShowAttr(SWindow& w, const std::wstring& name, const std::wstring& value, bool);
  static void SetFocusableAttr(SWindow& w, const std::wstring& name, const std::wstring& value,
                               bool);
  // Gives the control and its children the context, once; the control's font starts as the
  // context's default font then.
  void BindContext(UiContext* context);

  UiContext* context_ = nullptr;
  long accId_;
  SWindow* parent_ = nullptr;
  SWindow* owner_ = nullptr;
  SHostWnd* host_ = nullptr;       // what GetContainer hands out
  ITreeHost* treeHost_ = nullptr;  // the same window, as the tree calls it
  std::vector<std::unique_ptr<SWindow>> children_;
  std::wstring name_;
  int id_ = 0;
  bool visible_ = true;
  bool enabled_ = true;
  bool shown_ = false;  // last value handed to OnShownChanged
  LayoutRule rule_;
  RectF rect_;
  std::shared_ptr<ISkinObj> skin_;
  SEventSet events_;

  friend class STabCtrl;
  friend class SHostWnd;
};

}  // namespace toolkit
