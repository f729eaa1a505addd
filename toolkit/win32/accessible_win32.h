// A host window as readers see it on Windows: WM_GETOBJECT answered with an IAccessible over the
// portable accessible tree, the tree's events raised as WinEvents, and the default actions
// readers ask for run once their call has returned (a press may open a modal dialog).
#pragma once

#include "windows_base.h"

#include <memory>

#include "toolkit/native_window.h"

namespace toolkit {

struct AccConnection;

class WindowAccessibility {
 public:
  // The private message that carries an action readers asked for (wParam: the node's id).
  static constexpr UINT kActionMessage = WM_APP + 0x4B1;

  WindowAccessibility();
  // Objects readers still hold answer "disconnected" from then on.
  ~WindowAccessibility();
  WindowAccessibility(const WindowAccessibility&) = delete;
  WindowAccessibility& operator=(const WindowAccessibility&) = delete;

  void Connect(HWND hwnd, float scale);
  void SetSink(INativeWindowSink* sink);
  void Disconnect();

  LRESULT OnGetObject(WPARAM wp, LPARAM lp);
  void OnAction(WPARAM id);
  void Notify(AccEvent event, long id);

 private:
  std::shared_ptr<AccConnection> connection_;
};

}  // namespace toolkit
