// The native child windows of `realwnd` controls: for the window class "CRealWndDlg" an empty
// host window (CRealWndDlg) created as a visible child of the control's window, whose handle the
// camera library draws into; no window for any other class.
#pragma once

#include <cstdint>

#include "toolkit/controls.h"
#include "toolkit/host.h"
#include "toolkit/ui_context.h"

namespace popups {

class CRealWndDlg : public toolkit::SHostWnd {
 public:
  // The resources hold no layout of this name; the window is built empty from its own node
  // instead, so that looking the name up reports no missing layout.
  explicit CRealWndDlg(toolkit::UiContext& context);
};

class CRealWndHandler : public toolkit::IRealWndHandler {
 public:
  std::uintptr_t OnRealWndCreate(toolkit::SRealWnd* control) override;
  void OnRealWndDestroy(toolkit::SRealWnd* control) override;
};

}  // namespace popups
