// What a control tree asks of the window that shows it: repaint and relayout, focus, the end of
// events nobody handled, and notice of controls joining, leaving, hiding or going away. The host
// window implements it; the tree knows nothing more of it.
#pragma once

#include "toolkit/accessibility.h"
#include "toolkit/render.h"

namespace toolkit {

class EventArgs;
class SWindow;

class ITreeHost {
 public:
  virtual ~ITreeHost() = default;
  virtual void InvalidateRect(const RectF& rect) = 0;
  virtual void RequestRelayout() = 0;
  virtual SWindow* GetFocus() const = 0;
  virtual void SetFocusTo(SWindow* control) = 0;
  // A control (with its subtree) joined or left a tree that is shown.
  virtual void AttachControl(SWindow* control) = 0;
  virtual void DetachControl(SWindow* control) = 0;
  virtual void OnControlDestroyed(SWindow* control) = 0;
  virtual void OnControlHidden(SWindow* control) = 0;
  // Something readers follow changed on a control.
  virtual void NotifyAccessible(AccEvent event, const SWindow* control) = 0;
  // An event that went up the whole tree unhandled.
  virtual void DispatchUnhandled(EventArgs& evt) = 0;
};

}  // namespace toolkit
