#include "windows_base.h"

#include "native_window_win32.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "accessible_win32.h"
#include "render_win32.h"
#include "resources_win32.h"
#include "richtext_win32.h"
#include "shadow_window_win32.h"
#include "toolkit/dpi_scale.h"

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0  // older SDK headers lack it
#endif

namespace toolkit {

namespace {

constexpr wchar_t kClass[] = L"KestrelHost";
constexpr UINT_PTR kFrameTimer = 0x4B46;  // the frame clock; control timers use small ids
constexpr UINT kFrameMs = 16;
constexpr Color kCornerFill{214, 219, 226, 255};  // what the rounded corners blend against

float g_scale = 1;

// Puts a top-level window first among the windows that are not topmost, on the X display too.
// Wine's X11 driver without a window manager raises an X window only when its Win32 window
// changes place and becomes the first shown one, and it raises the X window of whatever takes
// the keyboard focus regardless of the windows that window owns. A move to HWND_TOP of a window
// already first in Win32's order is dropped before the driver sees it, so an owned window left
// below its focused owner on the screen would stay there; passing through the topmost band is
// always a change of place. On Windows the two moves together are a plain HWND_TOP. Only for
// owned windows: Wine makes the windows a window owns topmost with it and leaves them so.
void RaiseToFront(HWND hwnd) {
  constexpr UINT kFlags = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER;
  SetWindowPos(hwnd, HWND_TOPMOST, 0, 0, 0, 0, kFlags);
  SetWindowPos(hwnd, HWND_NOTOPMOST, 0, 0, 0, 0, kFlags);
}

RECT Device(const RectF& r, float k) {
  const DeviceRect d = ToDevice(r, k);
  return {static_cast<LONG>(d.left), static_cast<LONG>(d.top), static_cast<LONG>(d.right),
          static_cast<LONG>(d.bottom)};
}

class Win32Window : public INativeWindow {
 public:
  explicit Win32Window(const NativeWindowOptions& options);
  ~Win32Window() override {
    sink_ = nullptr;  // the core is going away: no more calls into it
    Destroy();
  }

  void SetSink(INativeWindowSink* sink) override {
    sink_ = sink;
    accessible_.SetSink(sink);
  }
  void SetTitle(const std::wstring& title) override { SetWindowTextW(hwnd_, title.c_str()); }
  void SetGeometry(const RectF& body, float shadowMargin, float cornerRadius) override;
  RectF Geometry() const override { return body_; }
  void CenterOnScreen() override;
  void Show(bool visible) override;
  bool IsVisible() const override { return hwnd_ && IsWindowVisible(hwnd_); }
  void Invalidate(const RectF& rect) override;
  void SetTimer(unsigned id, unsigned milliseconds) override {
    ::SetTimer(hwnd_, id, milliseconds, nullptr);
  }
  void KillTimer(unsigned id) override { ::KillTimer(hwnd_, id); }
  void RequestFrames(bool on) override;
  void CaptureMouse(bool on) override {
    if (on) {
      SetCapture(hwnd_);
    } else if (GetCapture() == hwnd_) {
      ReleaseCapture();
    }
  }
  void SetCursor(CursorKind cursor) override;
  void ShowTooltip(const std::wstring& text, PointF at) override;
  void HideTooltip() override;
  void BeginDrag() override;
  void Minimize() override { ShowWindow(hwnd_, SW_MINIMIZE); }
  float Scale() const override { return scale_; }
  std::uintptr_t Handle() const override { return reinterpret_cast<std::uintptr_t>(hwnd_); }
  int RunModalLoop() override;
  void EndModalLoop(int code) override {
    modalCode_ = code;
    modalDone_ = true;
    PostMessageW(hwnd_, WM_NULL, 0, 0);
  }
  void Destroy() override;

  void PlaceChild(std::uintptr_t child, const RectF& rect, bool visible) override;
  void FocusChild(std::uintptr_t child) override { SetFocus(reinterpret_cast<HWND>(child)); }
  std::uintptr_t CreateRichTextChild(const std::string& rtf) override {
    RECT none{0, 0, 0, 0};
    return reinterpret_cast<std::uintptr_t>(CreateRichTextView(hwnd_, none, rtf));
  }
  void DestroyChild(std::uintptr_t child) override {
    children_.Forget(child);
    if (IsWindow(reinterpret_cast<HWND>(child)))
      DestroyWindow(reinterpret_cast<HWND>(child));
  }
  void NotifyAccessible(AccEvent event, long id) override { accessible_.Notify(event, id); }

  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

 private:
  LRESULT Handle(UINT msg, WPARAM wp, LPARAM lp);
  PointF Layout(LPARAM lp) const {
    return {static_cast<float>(GET_X_LPARAM(lp)) / scale_,
            static_cast<float>(GET_Y_LPARAM(lp)) / scale_};
  }
  void Paint();
  void PlaceShadow();
  void ApplyPlace(const ChildPlaces::Place& place);
  void Key(WPARAM vk);
  void BringToFront();
  void RaiseOwnedWindows();

  HWND hwnd_ = nullptr;
  HWND owner_ = nullptr;
  HWND tooltip_ = nullptr;
  std::wstring tipText_;
  INativeWindowSink* sink_ = nullptr;
  RectF body_{};
  float margin_ = 0, radius_ = 0;
  float scale_ = 1;
  ChildPlaces children_;
  bool tracking_ = false;
  bool framesOn_ = false;
  bool modalDone_ = false;
  bool shadowOn_ = true;
  int modalCode_ = 0;
  HCURSOR cursor_ = LoadCursorW(nullptr, IDC_ARROW);
  ShadowWindow shadow_;
  GdiplusRender render_;
  HBITMAP buffer_ = nullptr;
  void* bits_ = nullptr;
  SIZE bufferSize_{0, 0};
  WindowAccessibility accessible_;
};

void RegisterClassOnce() {
  static bool done = [] {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = Win32Window::Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = nullptr;  // set on WM_SETCURSOR from what the control under the mouse wants
    wc.lpszClassName = kClass;
    return RegisterClassExW(&wc) != 0;
  }();
  (void)done;
}

Win32Window::Win32Window(const NativeWindowOptions& options)
    : scale_(g_scale), shadowOn_(options.shadow && !options.child) {
  RegisterClassOnce();
  owner_ = reinterpret_cast<HWND>(options.owner);
  DWORD style = options.child ? WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN
                              : WS_POPUP | WS_MINIMIZEBOX | WS_SYSMENU | WS_CLIPCHILDREN;
  DWORD exStyle = 0;
  if (options.dropDown)
    exStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
  else if (options.appWindow && !options.child)
    exStyle = WS_EX_APPWINDOW;
  hwnd_ = CreateWindowExW(exStyle, kClass, options.title.c_str(), style, 0, 0, 1, 1, owner_,
                          nullptr, GetModuleHandleW(nullptr), this);
  accessible_.Connect(hwnd_, scale_);
  if (hwnd_ && options.appWindow && !options.child && !options.dropDown) {
    for (auto [key, which] :
         {std::pair{options.bigIcon, ICON_BIG}, std::pair{options.smallIcon, ICON_SMALL}}) {
      if (auto png = FindResourceBytes(key)) {
        SendMessageW(hwnd_, WM_SETICON, static_cast<WPARAM>(which),
                     reinterpret_cast<LPARAM>(IconFromPng(*png)));
      }
    }
  }
}

void Win32Window::Destroy() {
  if (!hwnd_)
    return;
  HWND hwnd = hwnd_;
  if (tooltip_)
    DestroyWindow(tooltip_);
  tooltip_ = nullptr;
  RequestFrames(false);
  shadow_.Show(false);
  accessible_.Disconnect();
  // Asked by the core, which tears itself down afterwards: the window's WM_DESTROY must not
  // report back (the report could delete this object while it is still destroying).
  hwnd_ = nullptr;
  DestroyWindow(hwnd);
  if (buffer_)
    DeleteObject(buffer_);
  buffer_ = nullptr;
}

void Win32Window::SetGeometry(const RectF& body, float shadowMargin, float cornerRadius) {
  body_ = body;
  margin_ = shadowMargin;
  radius_ = cornerRadius;
  RECT r = Device(body, scale_);
  int w = r.right - r.left, h = r.bottom - r.top;
  SetWindowPos(hwnd_, nullptr, r.left, r.top, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
  if (!(GetWindowLongW(hwnd_, GWL_STYLE) & WS_CHILD)) {
    int d = static_cast<int>(std::lround(2 * cornerRadius * scale_));
    SetWindowRgn(hwnd_, d > 0 ? CreateRoundRectRgn(0, 0, w + 1, h + 1, d, d) : nullptr, TRUE);
  }
  PlaceShadow();
}

void Win32Window::PlaceChild(std::uintptr_t child, const RectF& rect, bool visible) {
  if (!IsWindow(reinterpret_cast<HWND>(child))) {
    children_.Forget(child);
    return;
  }
  children_.Set(child, rect, visible);
  ApplyPlace({child, rect, visible});
}

void Win32Window::ApplyPlace(const ChildPlaces::Place& place) {
  HWND window = reinterpret_cast<HWND>(place.child);
  // A child its maker destroyed without telling us: its handle may belong to another by now.
  if (!IsWindow(window) || GetParent(window) != hwnd_)
    return;
  RECT r = Device(place.rect, scale_);
  SetWindowPos(window, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
               SWP_NOZORDER | SWP_NOACTIVATE | (place.visible ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
}

void Win32Window::PlaceShadow() {
  if (!hwnd_ || !shadowOn_)
    return;
  RECT r;
  GetWindowRect(hwnd_, &r);
  shadow_.Update(hwnd_, r, static_cast<int>(std::lround(margin_ * scale_)),
                 static_cast<int>(std::lround(radius_ * scale_)), scale_);
  shadow_.Show(IsWindowVisible(hwnd_) && !IsIconic(hwnd_));
}

void Win32Window::CenterOnScreen() {
  RECT area;
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  RectF b = body_;
  b.x = (static_cast<float>(area.left + area.right) / scale_ - b.w) / 2;
  b.y = (static_cast<float>(area.top + area.bottom) / scale_ - b.h) / 2;
  SetGeometry(b, margin_, radius_);
}

void Win32Window::Show(bool visible) {
  ShowWindow(hwnd_, visible ? SW_SHOW : SW_HIDE);
  if (visible)
    UpdateWindow(hwnd_);
  PlaceShadow();
  // Shown means in front, also where showing alone does not restack (see RaiseToFront).
  if (visible)
    BringToFront();
}

void Win32Window::BringToFront() {
  // Owned windows only (see RaiseToFront): child windows keep their place among their
  // siblings, and the topmost drop-downs are in front already.
  if (!owner_ || (GetWindowLongW(hwnd_, GWL_STYLE) & WS_CHILD) ||
      (GetWindowLongW(hwnd_, GWL_EXSTYLE) & WS_EX_TOPMOST))
    return;
  // The shadow first, so that it ends just behind the body.
  if (shadowOn_ && shadow_.Handle() && IsWindowVisible(shadow_.Handle()))
    RaiseToFront(shadow_.Handle());
  RaiseToFront(hwnd_);
}

namespace {

BOOL CALLBACK CollectOwned(HWND hwnd, LPARAM param) {
  auto* found = reinterpret_cast<std::pair<HWND, std::vector<HWND>>*>(param);
  wchar_t name[32] = L"";
  if (GetWindow(hwnd, GW_OWNER) == found->first && IsWindowVisible(hwnd) &&
      GetClassNameW(hwnd, name, 32) && std::wstring(name) == kClass)
    found->second.push_back(hwnd);
  return TRUE;
}

}  // namespace

// A window that took the focus may have had its X window raised over the windows it owns
// (see RaiseToFront); they go back in front of it, the lowest first to keep their order.
void Win32Window::RaiseOwnedWindows() {
  std::pair<HWND, std::vector<HWND>> found{hwnd_, {}};
  EnumThreadWindows(GetCurrentThreadId(), CollectOwned, reinterpret_cast<LPARAM>(&found));
  for (auto it = found.second.rbegin(); it != found.second.rend(); ++it) {
    auto* owned = reinterpret_cast<Win32Window*>(GetWindowLongPtrW(*it, GWLP_USERDATA));
    if (owned && owned->hwnd_ == *it)
      owned->BringToFront();
  }
}

void Win32Window::Invalidate(const RectF& rect) {
  RECT r = Device(rect, scale_);
  InflateRect(&r, 1, 1);
  InvalidateRect(hwnd_, &r, FALSE);
}

void Win32Window::RequestFrames(bool on) {
  if (on == framesOn_)
    return;
  framesOn_ = on;
  if (on) {
    ::SetTimer(hwnd_, kFrameTimer, kFrameMs, nullptr);
  } else {
    ::KillTimer(hwnd_, kFrameTimer);
  }
}

void Win32Window::SetCursor(CursorKind cursor) {
  const wchar_t* id = cursor == CursorKind::kHand    ? IDC_HAND
                      : cursor == CursorKind::kIBeam ? IDC_IBEAM
                                                     : IDC_ARROW;
  cursor_ = LoadCursorW(nullptr, id);
  ::SetCursor(cursor_);
}

void Win32Window::ShowTooltip(const std::wstring& text, PointF at) {
  if (!tooltip_) {
    tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                               WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, 0, 0, 0, 0, hwnd_, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    TTTOOLINFOW info{};
    info.cbSize = sizeof info;
    // Transparent: a press that meets the tip still reaches the control beneath.
    info.uFlags = TTF_TRACK | TTF_ABSOLUTE | TTF_TRANSPARENT;
    info.hwnd = hwnd_;
    info.lpszText = const_cast<wchar_t*>(L"");
    SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
  }
  tipText_ = text;
  TTTOOLINFOW info{};
  info.cbSize = sizeof info;
  info.hwnd = hwnd_;
  info.lpszText = tipText_.data();
  SendMessageW(tooltip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&info));
  POINT p{static_cast<LONG>(std::lround(at.x * scale_)),
          static_cast<LONG>(std::lround(at.y * scale_))};
  ClientToScreen(hwnd_, &p);
  // Below the cursor, as the system places tips: one under the pointer would take the
  // pointer's clicks and, taking it from the host, end its own hover.
  p.y += GetSystemMetrics(SM_CYCURSOR) * 3 / 4;
  SendMessageW(tooltip_, TTM_TRACKPOSITION, 0, MAKELPARAM(p.x, p.y));
  SendMessageW(tooltip_, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&info));
}

void Win32Window::HideTooltip() {
  if (!tooltip_)
    return;
  TTTOOLINFOW info{};
  info.cbSize = sizeof info;
  info.hwnd = hwnd_;
  SendMessageW(tooltip_, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&info));
}

void Win32Window::BeginDrag() {
  ReleaseCapture();
  SendMessageW(hwnd_, WM_NCLBUTTONDOWN, HTCAPTION, 0);
}

// Tab and Esc pressed in a real child window (the rich-text view) go to the host window it lies
// in, which moves the focus on or closes; the child would keep them.
void RouteNavigationKeys(MSG* msg) {
  if (msg->message != WM_KEYDOWN || (msg->wParam != VK_TAB && msg->wParam != VK_ESCAPE))
    return;
  wchar_t name[32] = L"";
  GetClassNameW(msg->hwnd, name, 32);
  if (lstrcmpW(name, kClass) == 0)
    return;
  for (HWND up = GetParent(msg->hwnd); up; up = GetParent(up)) {
    GetClassNameW(up, name, 32);
    if (lstrcmpW(name, kClass) == 0) {
      msg->hwnd = up;
      return;
    }
  }
}

int Win32Window::RunModalLoop() {
  modalDone_ = false;
  bool ownerWasEnabled = owner_ && IsWindowEnabled(owner_);
  if (ownerWasEnabled)
    EnableWindow(owner_, FALSE);
  MSG msg;
  while (!modalDone_ && hwnd_) {
    BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got <= 0) {
      // WM_QUIT ends the outer loop too.
      if (got == 0)
        PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    RouteNavigationKeys(&msg);
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  if (ownerWasEnabled) {
    EnableWindow(owner_, TRUE);
    SetActiveWindow(owner_);
  }
  return modalCode_;
}

void Win32Window::Paint() {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd_, &ps);
  RECT client;
  GetClientRect(hwnd_, &client);
  SIZE size{client.right, client.bottom};
  if (size.cx > 0 && size.cy > 0) {
    if (!buffer_ || size.cx != bufferSize_.cx || size.cy != bufferSize_.cy) {
      if (buffer_)
        DeleteObject(buffer_);
      BITMAPINFO info{};
      info.bmiHeader.biSize = sizeof info.bmiHeader;
      info.bmiHeader.biWidth = size.cx;
      info.bmiHeader.biHeight = -size.cy;
      info.bmiHeader.biPlanes = 1;
      info.bmiHeader.biBitCount = 32;
      buffer_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits_, nullptr, 0);
      bufferSize_ = size;
    }
    if (buffer_) {
      GdiFlush();
      render_.Attach(static_cast<std::uint8_t*>(bits_), size.cx, size.cy, size.cx * 4, scale_);
      RectF dirty{static_cast<float>(ps.rcPaint.left) / scale_,
                  static_cast<float>(ps.rcPaint.top) / scale_,
                  static_cast<float>(ps.rcPaint.right - ps.rcPaint.left) / scale_,
                  static_cast<float>(ps.rcPaint.bottom - ps.rcPaint.top) / scale_};
      render_.PushClip(dirty);
      render_.Clear(kCornerFill);
      if (sink_)
        sink_->OnPaint(render_, dirty);
      render_.PopClip();
      HDC memory = CreateCompatibleDC(dc);
      HGDIOBJ old = SelectObject(memory, buffer_);
      BitBlt(dc, ps.rcPaint.left, ps.rcPaint.top, ps.rcPaint.right - ps.rcPaint.left,
             ps.rcPaint.bottom - ps.rcPaint.top, memory, ps.rcPaint.left, ps.rcPaint.top, SRCCOPY);
      SelectObject(memory, old);
      DeleteDC(memory);
    }
  }
  EndPaint(hwnd_, &ps);
}

void Win32Window::Key(WPARAM vk) {
  KeyEvent e;
  e.shift = GetKeyState(VK_SHIFT) < 0;
  switch (vk) {
    case VK_TAB:
      e.key = Key::kTab;
      break;
    case VK_RETURN:
      e.key = Key::kEnter;
      break;
    case VK_SPACE:
      e.key = Key::kSpace;
      break;
    case VK_ESCAPE:
      e.key = Key::kEscape;
      break;
    case VK_LEFT:
      e.key = Key::kLeft;
      break;
    case VK_RIGHT:
      e.key = Key::kRight;
      break;
    case VK_UP:
      e.key = Key::kUp;
      break;
    case VK_DOWN:
      e.key = Key::kDown;
      break;
    case VK_HOME:
      e.key = Key::kHome;
      break;
    case VK_END:
      e.key = Key::kEnd;
      break;
    default:
      return;  // characters come with WM_CHAR
  }
  if (sink_)
    sink_->OnKey(e);
}

LRESULT CALLBACK Win32Window::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    auto* self = static_cast<Win32Window*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    self->hwnd_ = hwnd;
  }
  auto* self = reinterpret_cast<Win32Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self || self->hwnd_ != hwnd)
    return DefWindowProcW(hwnd, msg, wp, lp);
  return self->Handle(msg, wp, lp);
}

LRESULT Win32Window::Handle(UINT msg, WPARAM wp, LPARAM lp) {
  INativeWindowSink* sink = sink_;
  switch (msg) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      Paint();
      return 0;
    case WM_MOUSEMOVE:
      if (!tracking_) {
        TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, hwnd_, 0};
        tracking_ = TrackMouseEvent(&track) != FALSE;
      }
      if (sink)
        sink->OnMouseMove(Layout(lp));
      return 0;
    case WM_MOUSELEAVE:
      tracking_ = false;
      if (sink)
        sink->OnMouseLeave();
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      SetFocus(hwnd_);
      if (sink)
        sink->OnMouseDown(MouseButton::kLeft, Layout(lp));
      return 0;
    case WM_LBUTTONUP:
      if (sink)
        sink->OnMouseUp(MouseButton::kLeft, Layout(lp));
      return 0;
    case WM_RBUTTONDOWN:
      if (sink)
        sink->OnMouseDown(MouseButton::kRight, Layout(lp));
      return 0;
    case WM_RBUTTONUP:
      if (sink)
        sink->OnMouseUp(MouseButton::kRight, Layout(lp));
      return 0;
    case WM_MOUSEWHEEL: {
      POINT p{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
      ScreenToClient(hwnd_, &p);
      float notches = static_cast<float>(GET_WHEEL_DELTA_WPARAM(wp)) / WHEEL_DELTA;
      if (sink) {
        sink->OnMouseWheel({static_cast<float>(p.x) / scale_, static_cast<float>(p.y) / scale_},
                           notches);
      }
      return 0;
    }
    case WM_SETCURSOR:
      if (LOWORD(lp) == HTCLIENT) {
        ::SetCursor(cursor_);
        return TRUE;
      }
      break;
    case WM_GETDLGCODE:
      return DLGC_WANTALLKEYS;
    case WM_KEYDOWN:
      Key(wp);
      return 0;
    case WM_SYSKEYDOWN:
      // Alt+F4 is the close request, whatever the window's style: the same path as a close
      // button, so that the program can ask first.
      if (wp == VK_F4) {
        PostMessageW(hwnd_, WM_CLOSE, 0, 0);
        return 0;
      }
      break;
    case WM_SYSCOLORCHANGE:
    case WM_SETTINGCHANGE:
    case WM_THEMECHANGED:
      if (sink)
        sink->OnSystemColorsChanged();
      break;
    case WM_CHAR:
      if (sink && wp >= 0x20 && wp != L' ') {
        KeyEvent e;
        e.character = static_cast<wchar_t>(wp);
        sink->OnKey(e);
      }
      return 0;
    case WM_TIMER:
      if (wp == kFrameTimer) {
        if (sink)
          sink->OnFrame(GetTickCount64());
      } else if (sink) {
        sink->OnTimer(static_cast<unsigned>(wp));
      }
      return 0;
    case WM_SETFOCUS:
      if (!(GetWindowLongW(hwnd_, GWL_STYLE) & WS_CHILD))
        RaiseOwnedWindows();
      break;
    case WM_ACTIVATE:
      if (sink)
        sink->OnActivate(LOWORD(wp) != WA_INACTIVE);
      return 0;
    case WM_WINDOWPOSCHANGED: {
      auto* pos = reinterpret_cast<WINDOWPOS*>(lp);
      if (!(pos->flags & SWP_NOMOVE)) {
        RECT r;
        GetWindowRect(hwnd_, &r);
        body_.x = static_cast<float>(r.left) / scale_;
        body_.y = static_cast<float>(r.top) / scale_;
      }
      PlaceShadow();
      break;
    }
    case WM_SIZE:
      PlaceShadow();
      break;
    case WM_DPICHANGED: {
      // Moved to a monitor of another DPI: the new scale, the suggested place, a full repaint.
      const RECT* suggested = reinterpret_cast<const RECT*>(lp);
      scale_ = ScaleForDpi(HIWORD(wp));
      SetGeometry(BodyAfterDpiChange(body_, suggested->left, suggested->top, scale_), margin_,
                  radius_);
      // The children lie over their controls in device pixels: at the new scale, again.
      for (const ChildPlaces::Place& place : children_.All())
        ApplyPlace(place);
      InvalidateRect(hwnd_, nullptr, FALSE);
      return 0;
    }
    case WM_CLOSE:
      if (!sink || sink->OnCloseRequest()) {
        Destroy();
        if (sink)
          sink->OnDestroyed();  // may delete this object: nothing of it is used after
      }
      return 0;
    case WM_GETOBJECT:
      return accessible_.OnGetObject(wp, lp);
    case WindowAccessibility::kActionMessage:
      accessible_.OnAction(wp);
      return 0;
    case WM_DESTROY:
      accessible_.Disconnect();
      RequestFrames(false);
      shadow_.Show(false);
      hwnd_ = nullptr;
      if (sink)
        sink->OnDestroyed();
      return 0;
    default:
      break;
  }
  return DefWindowProcW(hwnd_, msg, wp, lp);
}

}  // namespace

std::unique_ptr<INativeWindow> CreateNativeWindow(const NativeWindowOptions& options) {
  return std::make_unique<Win32Window>(options);
}

float InitDpiAwareness() {
  // SetProcessDPIAware exists from Vista on; later per-monitor forms add nothing for
  // windows of a fixed size on one screen.
  SetProcessDPIAware();
  HDC screen = GetDC(nullptr);
  int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  g_scale = ScaleForDpi(dpi > 0 ? static_cast<unsigned>(dpi) : 0);
  return g_scale;
}

int RunMessageLoop() {
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    RouteNavigationKeys(&msg);
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
}

}  // namespace toolkit
