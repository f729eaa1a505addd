// Host windows: a native window (through INativeWindow) holding one control tree built from a
// layout. SHostWnd routes the platform's mouse, keyboard, timer and frame reports to the tree;
// SHostDialog adds a modal loop with an end code; SDropDownWnd is a pop-up that ends itself.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "toolkit/native_platform.h"
#include "toolkit/swindow.h"
#include "toolkit/tree_host.h"

namespace pugi {
class xml_document;
}

namespace toolkit {

class UiContext;

// The end codes of dialogs and drop-downs. Named apart from the <windows.h> macros so that a
// program file may include either first.
enum DialogCode { kDialogOk = 1, kDialogCancel = 2 };

// One operation per animation frame (a frame tick of the host window, about 60 a second).
class ITimelineHandler {
 public:
  virtual ~ITimelineHandler() = default;
  virtual void OnNextFrame() = 0;
};

class SHostWnd : public INativeWindowSink, private ITreeHost {
 public:
  // `layoutName` such as "LAYOUT:XML_MAINWND"; a name the resources lack gives an empty window.
  // The context gives the layout, the control classes and the platform; it outlives the window.
  SHostWnd(UiContext& context, const std::wstring& layoutName);
  ~SHostWnd() override;
  SHostWnd(const SHostWnd&) = delete;
  SHostWnd& operator=(const SHostWnd&) = delete;

  // Builds the native window and the tree and calls OnInitDialog. `owner` may be null.
  bool Create(SHostWnd* owner = nullptr, NativeWindowKind kind = NativeWindowKind::kTopLevel,
              std::uintptr_t parentHandle = 0);
  // Builds the tree from a layout node instead of a named layout (pop-ups, templates).
  bool CreateFromXml(pugi::xml_node root, SHostWnd* owner, NativeWindowKind kind,
                     std::uintptr_t parentHandle = 0);
  void DestroyWindow();
  bool IsWindow() const { return native_ != nullptr; }

  UiContext& GetContext() const { return context_; }
  SWindow* GetRoot() { return root_.get(); }
  SWindow* FindChildByName(const std::wstring& name, int depth = -1) const;
  SWindow* FindChildByID(int id, int depth = -1) const;
  template <class T>
  T* FindChildByName2(const std::wstring& name, int depth = -1) const {
    return dynamic_cast<T*>(FindChildByName(name, depth));
  }
  INativeWindow* GetNative() const { return native_.get(); }
  std::uintptr_t GetHwnd() const { return native_ ? native_->Handle() : 0; }
  const std::wstring& GetLayoutName() const { return layoutName_; }

  // The window's size from its layout ("width", "height", "margin" of the root node): the full
  // size including the shadow margin, and the body inside it that the controls fill.
  SizeF GetWindowSize() const { return size_; }
  const float* GetShadowMargin() const { return margin_; }
  RectF GetBodyRect() const;

  void ShowWindow(bool show);
  bool IsWindowVisible() const { return native_ && native_->IsVisible(); }
  void Minimize();
  void SetWindowTitle(const std::wstring& title);
  void CenterWindow();

  void SetTimer(unsigned id, unsigned milliseconds);
  void KillTimer(unsigned id);

  void RegisterTimelineHandler(ITimelineHandler* handler);
  void UnregisterTimelineHandler(ITimelineHandler* handler);

  // Focus and Tab order (the tree's order of visible, enabled, focusable controls).
  SWindow* GetFocus() const override { return focus_; }
  void SetFocusTo(SWindow* control) override;
  void MoveFocus(bool backwards);
  // The focus mark is drawn once the keyboard is used and hidden again by a mouse press, as
  // Windows shows its focus rectangles, and only while the window is the active one.
  bool IsFocusMarkShown() const { return focusMark_; }
  void ShowFocusMark(bool show);

  // Called by the tree.
  void InvalidateRect(const RectF& rect) override;
  void RequestRelayout() override;
  void OnControlDestroyed(SWindow* control) override;
  void OnControlHidden(SWindow* control) override;

  // INativeWindowSink
  void OnPaint(IRender& render, const RectF& dirty) override;
  void OnMouseMove(PointF at) override;
  void OnMouseLeave() override;
  void OnMouseDown(MouseButton button, PointF at) override;
  void OnMouseUp(MouseButton button, PointF at) override;
  void OnMouseWheel(PointF at, float notches) override;
  void OnKey(const KeyEvent& key) override;
  void OnTimer(unsigned id) override;
  void OnFrame(std::uint64_t milliseconds) override;
  void OnActivate(bool active) override;
  bool OnCloseRequest() override;
  void OnDestroyed() override;
  AccTree GetAccessibleTree() override { return AccTree(*this); }
  bool DoAccessibleAction(long id) override;
  bool FocusAccessible(long id) override;

  // How readers see the window itself, and what they call it (its title).
  virtual AccRole GetAccWindowRole() const { return AccRole::kWindow; }
  const std::wstring& GetWindowTitle() const { return title_; }
  void OnSystemColorsChanged() override;

  // The deepest control under `at` that takes the mouse.
  SWindow* HitTest(PointF at) const;
  void LayoutNow();

 protected:
  // The program's hooks, in the spirit of window messages.
  virtual bool OnInitDialog() { return true; }
  // A left press before the controls see it (they still do).
  virtual void OnLButtonDown(PointF at) { (void)at; }
  virtual void OnTimerEvent(unsigned id) { (void)id; }
  // The close request; returns false to keep the window (default: destroy it).
  virtual bool OnClose();
  virtual void OnDestroy() {}
  virtual void OnActivateChanged(bool active) { (void)active; }
  // Control events nobody handled on the way up; mark them handled to stop them.
  virtual void _HandleEvent(EventArgs* evt) { (void)evt; }
  virtual bool OnKeyEvent(const KeyEvent& key);

 private:
  // ITreeHost
  void AttachControl(SWindow* control) override { Attach(control); }
  void DetachControl(SWindow* control) override { Detach(control); }
  void DispatchUnhandled(EventArgs& evt) override { _HandleEvent(&evt); }
  void NotifyAccessible(AccEvent event, const SWindow* control) override;
  // The window itself was shown or hidden.
  void NotifyWindowShown(bool shown);

  bool BuildTree(pugi::xml_node root);
  void Attach(SWindow* window);
  void Detach(SWindow* window);
  void Teardown();
  void UpdateFrames();
  void UpdateHover(PointF at);
  void PaintFocusMark(IRender& render);
  void InvalidateFocusMark(SWindow* control);

  UiContext& context_;
  std::wstring layoutName_;
  std::unique_ptr<INativeWindow> native_;
  std::unique_ptr<SWindow> root_;
  SizeF size_{0, 0};
  float margin_[4] = {0, 0, 0, 0};
  float cornerRadius_ = 0;
  bool translucent_ = false;
  bool appWindow_ = false;
  std::wstring title_, bigIcon_, smallIcon_;
  SWindow* hover_ = nullptr;
  SWindow* pressed_ = nullptr;
  SWindow* focus_ = nullptr;
  bool focusMark_ = false;
  // Until the platform says otherwise, a window counts as the one with the keyboard.
  bool active_ = true;
  std::vector<ITimelineHandler*> timeline_;
  bool layoutDirty_ = true;
  bool tornDown_ = false;
  bool inLayout_ = false;
  float captionHeight_ = 0;
  std::unique_ptr<pugi::xml_document> ownLayout_;

 protected:
  // Builds from this layout node (copied) instead of the named layout.
  void SetLayoutXml(pugi::xml_node node);
};

class SHostDialog : public SHostWnd {
 public:
  using SHostWnd::SHostWnd;
  // Creates the window owned by `parent`, shows it and runs its modal loop; returns the code
  // given to EndDialog. The window is destroyed when it returns.
  int DoModal(SHostWnd* parent = nullptr);
  void EndDialog(int code);
  bool IsModal() const { return inModal_; }
  AccRole GetAccWindowRole() const override { return AccRole::kDialog; }

 protected:
  virtual void OnOK() { EndDialog(kDialogOk); }
  virtual void OnCancel() { EndDialog(kDialogCancel); }
  bool OnClose() override;
  bool OnKeyEvent(const KeyEvent& key) override;

 private:
  bool inModal_ = false;
  bool ended_ = false;
  int endCode_ = kDialogCancel;
};

class SDropDownWnd;

// The control a drop-down window belongs to; it receives the window's unhandled events.
class ISDropDownOwner {
 public:
  virtual ~ISDropDownOwner() = default;
  virtual SWindow* GetDropDownOwner() = 0;
  virtual void OnCreateDropDown(SDropDownWnd* dropDown) { (void)dropDown; }
  // The window ended (GetExitCode says how); it is deleted right after this returns.
  virtual void OnDestroyDropDown(SDropDownWnd* dropDown) = 0;
};

// A pop-up below a control. Ends with EndDropDown(code): kDialogOk (1) for a choice,
// kDialogCancel (2) when it loses activation or the user presses Esc. Made with `new`; deletes
// itself once ended.
class SDropDownWnd : public SHostWnd {
 public:
  SDropDownWnd(UiContext& context, ISDropDownOwner* owner);
  // `rect` in layout pixels of the owner's host window; `content` the pop-up's layout.
  bool Create(const RectF& rect, pugi::xml_node content);
  void EndDropDown(int code = kDialogCancel);
  int GetExitCode() const { return exitCode_; }
  ISDropDownOwner* GetOwner() const { return owner_; }
  AccRole GetAccWindowRole() const override { return AccRole::kMenuPopup; }

 protected:
  void OnActivateChanged(bool active) override;
  bool OnKeyEvent(const KeyEvent& key) override;
  void OnDestroy() override;
  bool OnClose() override;

 private:
  ISDropDownOwner* owner_;
  int exitCode_ = kDialogCancel;
  bool ended_ = false;
};

}  // namespace toolkit
