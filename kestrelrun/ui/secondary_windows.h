// The two small modal boxes of the main window: the about box and the DNS optimisation's
// progress box. Both are toolkit dialogs destroyed when DoModal returns.
#pragma once

#include "toolkit/host.h"
#include "toolkit/ui_context.h"

namespace kestrelrun {

// "LAYOUT:XML_POPWND_ABORT": the product name and version. Its close button, the window's close
// request and Esc end it with OK.
class CPopAbort : public toolkit::SHostDialog {
 public:
  explicit CPopAbort(toolkit::UiContext& context);

 protected:
  void _HandleEvent(toolkit::EventArgs* evt) override;
  void OnCancel() override { EndDialog(toolkit::kDialogOk); }
};

// "LAYOUT:XML_POPWND_DNS": shows time passing while the DNS change settles. Timer 3 fills
// `pro_dns_set` with 25, 50, 75 and 100 every half second, then the box ends itself with OK;
// a close request (Alt+F4) ends it at once, also with OK.
class CPopWndDNS : public toolkit::SHostDialog {
 public:
  static constexpr unsigned kTimerId = 3;
  static constexpr unsigned kTickMs = 500;

  explicit CPopWndDNS(toolkit::UiContext& context);
  int TickCount() const { return tickCount_; }

 protected:
  bool OnInitDialog() override;
  void OnTimerEvent(unsigned id) override;
  void OnCancel() override { EndDialog(toolkit::kDialogOk); }
  void OnDestroy() override;

 private:
  int tickCount_ = 0;
};

}  // namespace kestrelrun
