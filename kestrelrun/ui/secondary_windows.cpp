#include "ui/secondary_windows.h"

#include "toolkit/controls.h"

namespace kestrelrun {

CPopAbort::CPopAbort(toolkit::UiContext& context)
    : SHostDialog(context, L"LAYOUT:XML_POPWND_ABORT") {}

void CPopAbort::_HandleEvent(toolkit::EventArgs* evt) {
  if (evt->GetID() == toolkit::EVT_CMD && evt->nameFrom == L"btn_popwnd_close") {
    EndDialog(toolkit::kDialogOk);
    ++evt->handled;
  }
}

CPopWndDNS::CPopWndDNS(toolkit::UiContext& context)
    : SHostDialog(context, L"LAYOUT:XML_POPWND_DNS") {}

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
    EndDialog(toolkit::kDialogOk);
}

void CPopWndDNS::OnDestroy() {
  KillTimer(kTimerId);
}

}  // namespace kestrelrun
