#include "windows_base.h"

#include "shadow_window_win32.h"

#include <algorithm>
#include <cmath>

#include "raster_painter.h"

namespace toolkit {

namespace {

constexpr wchar_t kClass[] = L"KestrelShadow";

// How far the shadow sits below centre, as a share of the margin (5, 3, 5, 7 for a margin of 5).
constexpr float kDrop = 0.4f;

void RegisterClassOnce() {
  static bool done = [] {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kClass;
    return RegisterClassExW(&wc) != 0;
  }();
  (void)done;
}

}  // namespace

ShadowWindow::~ShadowWindow() {
  if (hwnd_)
    DestroyWindow(hwnd_);
  DropPicture();
}

void ShadowWindow::DropPicture() {
  if (picture_)
    DeleteObject(picture_);
  picture_ = nullptr;
}

HBITMAP ShadowWindow::Paint(int width, int height, int margin, int radius) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap)
    return nullptr;
  auto* px = static_cast<std::uint8_t*>(bits);
  std::fill(px, px + static_cast<std::ptrdiff_t>(width) * height * 4, std::uint8_t{0});
  // Painted in device pixels: the margin is already scaled. The window itself sits `drop` lower
  // than the body, so the shadow is centred in it.
  PaintBodyShadow(px, width, height, margin, radius);
  return bitmap;
}

void ShadowWindow::Update(HWND owner, const RECT& body, int margin, int radius) {
  if (margin <= 0) {
    Show(false);
    return;
  }
  RegisterClassOnce();
  if (!hwnd_ || owner_ != owner) {
    if (hwnd_)
      DestroyWindow(hwnd_);
    owner_ = owner;
    // Not owned by the body: an owned window always stays above its owner, and the shadow
    // must lie below it. Disabled, so that it is never activated: Wine passes the activation
    // of a window that hides to the next enabled one in the stack, whatever WS_EX_NOACTIVATE
    // says, and raises the X window of what it activates, which put a main window's shadow
    // over the main window once a popup closed.
    hwnd_ = CreateWindowExW(WS_EX_LAYERED | WS_EX_TRANSPARENT | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE,
                            kClass, L"", WS_POPUP | WS_DISABLED, 0, 0, 0, 0, nullptr, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
    painted_ = {0, 0};
  }
  if (!hwnd_)
    return;
  int drop = static_cast<int>(std::lround(static_cast<float>(margin) * kDrop));
  int width = body.right - body.left + 2 * margin;
  int height = body.bottom - body.top + 2 * margin;
  POINT at{body.left - margin, body.top - margin + drop};
  SIZE size{width, height};
  BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  // The same picture in another place needs no source. A hidden shadow is given its picture
  // again: what the system keeps of a hidden layered window is not to be relied on.
  const bool moved =
      size.cx == painted_.cx && size.cy == painted_.cy && IsWindowVisible(hwnd_) &&
      UpdateLayeredWindow(hwnd_, nullptr, &at, nullptr, nullptr, nullptr, 0, &blend, ULW_ALPHA);
  // The system keeps the picture it is given, so the bitmap (4 bytes a pixel, 1.7 MB for the
  // main window) goes once the shadow shows. While it is hidden the bitmap is kept: a window is
  // placed again and again before it first shows, and painting the blur anew each time was a good
  // part of the time to the main window's first paint.
  if (!moved) {
    if (!picture_ || size.cx != painted_.cx || size.cy != painted_.cy) {
      DropPicture();
      picture_ = Paint(width, height, margin, radius);
    }
    if (picture_) {
      HDC screen = GetDC(nullptr);
      HDC memory = CreateCompatibleDC(screen);
      HGDIOBJ old = SelectObject(memory, picture_);
      POINT origin{0, 0};
      painted_ =
          UpdateLayeredWindow(hwnd_, screen, &at, &size, memory, &origin, 0, &blend, ULW_ALPHA)
              ? size
              : SIZE{0, 0};
      SelectObject(memory, old);
      DeleteDC(memory);
      ReleaseDC(nullptr, screen);
      if (IsWindowVisible(hwnd_) || painted_.cx == 0)
        DropPicture();
    }
  }
  // Just behind the owner, so it never covers it nor another window above.
  SetWindowPos(hwnd_, owner, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void ShadowWindow::Show(bool visible) {
  if (!hwnd_)
    return;
  if (!visible) {
    ShowWindow(hwnd_, SW_HIDE);
    return;
  }
  // Shown in its place behind the owner in one move: ShowWindow would put it first, above the
  // body, and under Wine its X window would be raised over the body the next time it moved.
  SetWindowPos(hwnd_, owner_, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  DropPicture();  // shown with its picture, which the system holds from here
}

}  // namespace toolkit
