// The built-in controls, each under its layout class name.
#pragma once

#include <cstdint>
#include <string>

#include "toolkit/host.h"
#include "toolkit/swindow.h"

namespace toolkit {

// "text": a label; click-through unless it has a tip.
class SStatic : public SWindow {
 public:
  TOOLKIT_CLASS_NAME(SWindow, L"text")
  SizeF GetDesiredSize(IRender& measure) override;
  void OnPaint(IRender& render) override;
};

// "button": a push button; a click (or Enter/Space while focused) fires EVT_CMD.
class SButton : public SWindow {
 public:
  SButton();
  TOOLKIT_CLASS_NAME(SWindow, L"button")
  bool WantsMouse() const override { return true; }
  bool IsFocusable() const override { return focusable_; }
  CursorKind GetCursor() const override { return CursorKind::kHand; }
  void OnClick() override { FireCommand(); }
  SizeF GetDesiredSize(IRender& measure) override;
  void OnPaint(IRender& render) override;

 protected:
  void ApplyPalette(const Palette& palette) override;
  void PaintHighContrast(IRender& render, const SystemColors& system);
};

// "link": blue text with a hand cursor, underlined under the mouse.
class SLink : public SButton {
 public:
  SLink();
  TOOLKIT_CLASS_NAME(SButton, L"link")
  void OnPaint(IRender& render) override;

 protected:
  void ApplyPalette(const Palette& palette) override;
};

// "check": a box and its text; a click toggles it, then fires EVT_CMD.
class SCheckBox : public SButton {
 public:
  TOOLKIT_CLASS_NAME(SButton, L"check")
  void OnClick() override;
  SizeF GetDesiredSize(IRender& measure) override;
  void OnPaint(IRender& render) override;
  RectF GetFocusRect() const override;
  float GetFocusRadius() const override;
  bool SetAttribute(const std::wstring& name, const std::wstring& value,
                    bool loading = false) override;
};

// "img": a picture (its skin).
class SImageWnd : public SWindow {
 public:
  TOOLKIT_CLASS_NAME(SWindow, L"img")
  SizeF GetDesiredSize(IRender& measure) override;
};

// "page": one page of a tab control.
class STabPage : public SWindow {
 public:
  TOOLKIT_CLASS_NAME(SWindow, L"page")
};

// "tabctrl": pages without headers; one is shown at a time ("curSel", default 0).
class STabCtrl : public SWindow {
 public:
  TOOLKIT_CLASS_NAME(SWindow, L"tabctrl")
  // Shows page `page`; false (nothing changes) when there is no such page.
  bool SetCurSel(int page);
  int GetCurSel() const { return curSel_; }
  STabPage* GetItem(int page) const;
  int GetItemCount() const;
  bool SetAttribute(const std::wstring& name, const std::wstring& value,
                    bool loading = false) override;
  void OnInitFinished() override;

 private:
  int curSel_ = 0;
};

// "progress": a bar from "min" to "max" (0..100).
class SProgress : public SWindow {
 public:
  SProgress();
  TOOLKIT_CLASS_NAME(SWindow, L"progress")
  void SetValue(int value);  // clamped to the range
  int GetValue() const { return value_; }
  void SetRange(int minimum, int maximum);
  void GetRange(int* minimum, int* maximum) const;
  bool SetAttribute(const std::wstring& name, const std::wstring& value,
                    bool loading = false) override;
  void OnPaint(IRender& render) override;

 protected:
  void ApplyPalette(const Palette& palette) override;
  int min_ = 0, max_ = 100, value_ = 0;
  Color colorBar_;
  Color colorTrack_;
};

// "sliderbar": a horizontal slider; moves by the user (drag, click, arrow keys) fire
// EventSliderPos (17000) with the new value; SetValue does not.
class SSliderBar : public SProgress {
 public:
  SSliderBar();
  TOOLKIT_CLASS_NAME(SProgress, L"sliderbar")
  bool WantsMouse() const override { return true; }
  bool IsFocusable() const override { return focusable_; }
  void OnLButtonDown(PointF at) override;
  void OnMouseDrag(PointF at) override;
  bool OnKeyDown(const KeyEvent& key) override;
  bool OnMouseWheel(float notches) override;
  void OnPaint(IRender& render) override;
  // The value a press at horizontal position `x` chooses.
  int ValueAt(float x) const;

 private:
  void MoveTo(int value);
};

// "edit": a one-line text box; with "readOnly" "1" the user cannot change it.
class SEdit : public SWindow {
 public:
  SEdit();
  TOOLKIT_CLASS_NAME(SWindow, L"edit")
  bool WantsMouse() const override { return true; }
  bool IsFocusable() const override { return focusable_; }
  CursorKind GetCursor() const override {
    return readOnly_ ? CursorKind::kArrow : CursorKind::kIBeam;
  }
  bool OnKeyDown(const KeyEvent& key) override;
  bool IsReadOnly() const { return readOnly_; }
  bool SetAttribute(const std::wstring& name, const std::wstring& value,
                    bool loading = false) override;
  void OnPaint(IRender& render) override;

 private:
  bool readOnly_ = false;
};

// "busy": a spinning arc, animated by frame ticks while it can be seen; one turn per "period"
// milliseconds (default 1000).
class SBusyIndicator : public SWindow, public ITimelineHandler {
 public:
  SBusyIndicator();
  TOOLKIT_CLASS_NAME(SWindow, L"busy")
  ~SBusyIndicator() override;
  void OnNextFrame() override;
  void OnShownChanged(bool shown) override;
  void OnDetach() override;
  bool SetAttribute(const std::wstring& name, const std::wstring& value,
                    bool loading = false) override;
  void OnPaint(IRender& render) override;
  bool IsAnimating() const { return registered_; }
  int GetFrame() const { return frame_; }

 private:
  void ApplyPalette(const Palette& palette) override;
  void Register(bool on);
  bool registered_ = false;
  int frame_ = 0;
  float period_ = 1000;
  Color colorArc_;
};

// A control shown by a native child window of its host: the base keeps the child placed over
// the control and shown while the control can be seen.
class SNativeChild : public SWindow {
 public:
  void OnShownChanged(bool shown) override;
  void Layout(const RectF& parentClient, IRender& measure) override;

 protected:
  void PlaceChild();
  std::uintptr_t nativeChild_ = 0;
};

// "richedit": the read-only rich-text view of an RTF resource ("rtf" "rtf:rtf_agreement"),
// a real child window of the platform placed over the control.
class SRichEdit : public SNativeChild {
 public:
  TOOLKIT_CLASS_NAME(SWindow, L"richedit")
  bool WantsMouse() const override { return true; }
  bool IsFocusable() const override { return true; }
  bool SetAttribute(const std::wstring& name, const std::wstring& value,
                    bool loading = false) override;
  void OnDetach() override;
  void OnShownChanged(bool shown) override;
  void OnFocusChanged(bool focused) override;
  void OnPaint(IRender& render) override;
  // The view's native window: 0 until the control has first shown.
  std::uintptr_t GetChildHandle() const { return nativeChild_; }
  const std::string& GetRtf() const { return rtf_; }

 private:
  void MakeChild();

  std::wstring source_;
  std::string rtf_;
};

// "realwnd": a native child window made by the application's real-window handler for the
// window class "wndclass" ("CRealWndDlg"); the toolkit sizes it to the control.
class SRealWnd : public SNativeChild {
 public:
  TOOLKIT_CLASS_NAME(SWindow, L"realwnd")
  bool SetAttribute(const std::wstring& name, const std::wstring& value,
                    bool loading = false) override;
  void OnAttach(SHostWnd* host) override;
  void OnDetach() override;
  const std::wstring& GetWndClass() const { return wndClass_; }
  const std::wstring& GetWndName() const { return wndName_; }
  std::uintptr_t GetRealHwnd() const { return nativeChild_; }
  // What the handler keeps with the control (its host window object).
  void SetData(void* data) { data_ = data; }
  void* GetData() const { return data_; }

 private:
  std::wstring wndClass_, wndName_;
  void* data_ = nullptr;
};

}  // namespace toolkit
