#include "ui/secondary_windows.h"

#include "toolkit/controls.h"

namespace kestrelrun {

// The application comes in now so that the windows already follow it; the toolkit's hosts still
// find it themselves.
CPopAbort::CPopAbort(toolkit::SApplication& app) : SHostDialog(L"LAYOUT:XML_POPWND_ABORT") {
  (void)app;
}

void CPopAbort::_HandleEvent(toolkit::EventArgs* evt) {
  if (evt->GetID() == toolkit::EVT_CMD && evt->nameFrom == L"btn_popwnd_close") {
    EndDialog(toolkit::IDOK);
    ++evt->handled;
  }
}

CPopWndDNS::CPopWndDNS(toolkit::SApplication& app) : SHostDialog(L"LAYOUT:XML_POPWND_DNS") {
  (void)app;
}

bool CPopWndDNS::OnInitDialog() {
  tickCount_ = 0;
  SetTimer(kTimerId, kTickMs);
  return true;
}

void CPopWndDNS::OnTimerEvent(unsigned id) {
  if (id != kTimerId)
    return;
  if (auto* bar = FindChildByName2<toolkit::SProgress>(L"pro_dns_set"))
    bar->SetValue(25 * (tickCount_ + 1));
  ++tickCount_;
  if (tickCount_ > 3)
    EndDialog(toolkit::IDOK);
}

void CPopWndDNS::OnDestroy() {
  KillTimer(kTimerId);
}

}  // namespace kestrelrun
