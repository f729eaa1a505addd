// Control events: every event carries its id, the control that sent it (name and id) and how
// often it was handled. Events travel from the sender up its owners to the host window's
// _HandleEvent until one handler marks them handled.
#pragma once

#include <functional>
#include <map>
#include <string>

namespace toolkit {

class SWindow;

enum EventId : int {
  EVT_CMD = 10000,              // a button, link, check box or list view item was clicked
  EVT_ITEMPANEL_CLICK = 10007,  // a list view item panel was clicked (sent to the panel)
  EVT_LV_SELCHANGED = 10010,    // a list view's selection changed
  EVT_TAB_SELCHANGED = 10020,   // a tab control shows another page
  EVT_SLIDER_POS = 17000,       // a slider moved (by the user)
};

class EventArgs {
 public:
  explicit EventArgs(SWindow* from, int id);
  virtual ~EventArgs() = default;
  EventArgs(const EventArgs&) = delete;
  EventArgs& operator=(const EventArgs&) = delete;

  int GetID() const { return id_; }

  SWindow* sender;        // the control that fired the event
  std::wstring nameFrom;  // its name ("" when it has none)
  int idFrom;             // its id (0 when it has none)
  int handled = 0;        // handlers that marked it handled
  bool bubbleUp = true;   // false stops it at the sender's own subscribers

 private:
  int id_;
};

// An event class of its own: `class EventFoo : public TplEventArgs<EventFoo, 10030000> {...}`.
template <class T, int kId>
class TplEventArgs : public EventArgs {
 public:
  static constexpr int EventID = kId;
  explicit TplEventArgs(SWindow* from) : EventArgs(from, kId) {}
};

class EventCmd : public TplEventArgs<EventCmd, EVT_CMD> {
 public:
  using TplEventArgs::TplEventArgs;
};

class EventSliderPos : public TplEventArgs<EventSliderPos, EVT_SLIDER_POS> {
 public:
  EventSliderPos(SWindow* from, int pos) : TplEventArgs(from), nPos(pos) {}
  int nPos;
};

class EventLVSelChanged : public TplEventArgs<EventLVSelChanged, EVT_LV_SELCHANGED> {
 public:
  EventLVSelChanged(SWindow* from, int oldSel, int newSel)
      : TplEventArgs(from), iOldSel(oldSel), iNewSel(newSel) {}
  int iOldSel, iNewSel;
};

class EventItemPanelClick : public TplEventArgs<EventItemPanelClick, EVT_ITEMPANEL_CLICK> {
 public:
  using TplEventArgs::TplEventArgs;
};

class EventTabSelChanged : public TplEventArgs<EventTabSelChanged, EVT_TAB_SELCHANGED> {
 public:
  EventTabSelChanged(SWindow* from, int oldSel, int newSel)
      : TplEventArgs(from), uOldSel(oldSel), uNewSel(newSel) {}
  int uOldSel, uNewSel;
};

// A handler returns true to mark the event handled.
using EventHandler = std::function<bool(EventArgs*)>;

// The subscribers of one control, by event id, called in the order they subscribed.
class SEventSet {
 public:
  // Returns a token for unsubscribeEvent.
  int subscribeEvent(int eventId, EventHandler handler);
  bool unsubscribeEvent(int token);
  void FireEvent(EventArgs& evt);

 private:
  struct Subscriber {
    int eventId;
    EventHandler handler;
  };
  std::map<int, Subscriber> subscribers_;  // by token, which grows: subscription order
  int nextToken_ = 1;
};

}  // namespace toolkit
