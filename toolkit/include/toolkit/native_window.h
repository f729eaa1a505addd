// The seam between a host window of the portable core and the platform's window. The core
// owns the control tree and talks to the platform only through INativeWindow; the platform
// reports what happens through INativeWindowSink. The Win32 side implements INativeWindow in
// toolkit/win32/, the tests' headless host in toolkit/headless/. Needs no <windows.h>.
#pragma once

#include <cstdint>
#include <string>

#include "toolkit/accessibility.h"
#include "toolkit/render.h"

namespace toolkit {

enum class MouseButton { kLeft, kRight };
enum class CursorKind { kArrow, kHand, kIBeam };

// Keys the controls react to; others arrive as kOther with their character, if any.
enum class Key { kTab, kEnter, kSpace, kEscape, kLeft, kRight, kUp, kDown, kHome, kEnd, kOther };

struct KeyEvent {
  Key key = Key::kOther;
  bool shift = false;
  wchar_t character = 0;
};

// What the platform tells the core. Positions are layout pixels of the window.
class INativeWindowSink {
 public:
  virtual ~INativeWindowSink() = default;
  virtual void OnPaint(IRender& render, const RectF& dirty) = 0;
  virtual void OnMouseMove(PointF at) = 0;
  virtual void OnMouseLeave() = 0;
  virtual void OnMouseDown(MouseButton button, PointF at) = 0;
  virtual void OnMouseUp(MouseButton button, PointF at) = 0;
  virtual void OnMouseWheel(PointF at, float notches) = 0;
  virtual void OnKey(const KeyEvent& key) = 0;
  virtual void OnTimer(unsigned id) = 0;
  // A frame tick of the animation clock (about 60 a second while any is requested).
  virtual void OnFrame(std::uint64_t milliseconds) = 0;
  virtual void OnActivate(bool active) = 0;
  // The user or the system asks to close; false keeps the window open.
  virtual bool OnCloseRequest() = 0;
  virtual void OnDestroyed() = 0;

  // What readers ask through the platform: the shown controls, a control's default action
  // (run later by the platform, never inside the reader's call) and moving the focus to one.
  virtual AccTree GetAccessibleTree() { return AccTree(); }
  virtual bool DoAccessibleAction(long id) {
    (void)id;
    return false;
  }
  virtual bool FocusAccessible(long id) {
    (void)id;
    return false;
  }
  // The system's colours or its high-contrast setting changed.
  virtual void OnSystemColorsChanged() {}
};

// What the core asks of the platform's window. Sizes are layout pixels; the platform scales.
class INativeWindow {
 public:
  virtual ~INativeWindow() = default;
  virtual void SetSink(INativeWindowSink* sink) = 0;
  virtual void SetTitle(const std::wstring& title) = 0;
  // The window's body and the margin around it that only its shadow paints.
  virtual void SetGeometry(const RectF& body, float shadowMargin, float cornerRadius) = 0;
  virtual RectF Geometry() const = 0;
  virtual void CenterOnScreen() = 0;
  virtual void Show(bool visible) = 0;
  virtual bool IsVisible() const = 0;
  virtual void Invalidate(const RectF& rect) = 0;
  virtual void SetTimer(unsigned id, unsigned milliseconds) = 0;
  virtual void KillTimer(unsigned id) = 0;
  virtual void RequestFrames(bool on) = 0;
  virtual void CaptureMouse(bool on) = 0;
  virtual void SetCursor(CursorKind cursor) = 0;
  virtual void ShowTooltip(const std::wstring& text, PointF at) = 0;
  virtual void HideTooltip() = 0;
  // Starts the user dragging the window (a press on its caption area).
  virtual void BeginDrag() = 0;
  virtual void Minimize() = 0;
  virtual float Scale() const = 0;
  // The platform's handle (an HWND on Windows) for real child windows; 0 in the headless host.
  virtual std::uintptr_t Handle() const = 0;
  // Runs a nested loop until EndModalLoop; returns the code given there.
  virtual int RunModalLoop() = 0;
  virtual void EndModalLoop(int code) = 0;
  virtual void Destroy() = 0;

  // Real child windows inside this one (the rich-text view, `realwnd` controls). The core
  // places them over their control; `rect` is in layout pixels of this window.
  virtual void PlaceChild(std::uintptr_t child, const RectF& rect, bool visible) {
    (void)child, (void)rect, (void)visible;
  }
  virtual void FocusChild(std::uintptr_t child) { (void)child; }
  // A read-only, word-wrapping rich-text view with a vertical scroll bar showing `rtf`;
  // 0 when the platform has none.
  virtual std::uintptr_t CreateRichTextChild(const std::string& rtf) {
    (void)rtf;
    return 0;
  }
  virtual void DestroyChild(std::uintptr_t child) { (void)child; }

  // Tells readers that node `id` of the accessible tree changed (0: the window itself).
  virtual void NotifyAccessible(AccEvent event, long id) { (void)event, (void)id; }
};

}  // namespace toolkit
