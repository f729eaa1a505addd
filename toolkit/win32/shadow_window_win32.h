// The soft shadow around a borderless window: a click-through layered window kept just behind
// its owner, repainted only when the body's size changes. Once shown it keeps no bitmap of its
// own: the system holds the layered window's picture.
#pragma once

#include "windows_base.h"

#include <cstdint>

namespace toolkit {

class ShadowWindow {
 public:
  ShadowWindow() = default;
  ~ShadowWindow();
  ShadowWindow(const ShadowWindow&) = delete;
  ShadowWindow& operator=(const ShadowWindow&) = delete;

  // `body` in device pixels on the screen; `margin` and `radius` in device pixels too.
  void Update(HWND owner, const RECT& body, int margin, int radius);
  void Show(bool visible);
  // The shadow's own window while it exists, else null.
  HWND Handle() const { return hwnd_; }

 private:
  // The shadow of a body inset by `margin`, as a new 32-bit top-down DIB; null on failure.
  static HBITMAP Paint(int width, int height, int margin, int radius);
  void DropPicture();

  HWND hwnd_ = nullptr;
  HWND owner_ = nullptr;
  SIZE painted_{0, 0};
  HBITMAP picture_ = nullptr;  // the last picture, kept only while the shadow is hidden
};

}  // namespace toolkit
