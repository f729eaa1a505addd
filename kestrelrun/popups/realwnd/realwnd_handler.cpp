#include "realwnd/realwnd_handler.h"

#include <pugixml.hpp>

namespace popups {

CRealWndDlg::CRealWndDlg(toolkit::UiContext& context)
    : SHostWnd(context, L"LAYOUT:XML_RealwndDialog") {
  pugi::xml_document empty;
  empty.append_child("SOUI").append_child("root");
  SetLayoutXml(empty.first_child());
}

std::uintptr_t CRealWndHandler::OnRealWndCreate(toolkit::SRealWnd* control) {
  if (!control || control->GetWndClass() != L"CRealWndDlg")
    return 0;
  if (auto* existing = static_cast<CRealWndDlg*>(control->GetData()))
    return existing->GetHwnd();  // attached again: the same window
  toolkit::SHostWnd* host = control->GetContainer();
  if (!host || !host->IsWindow())
    return 0;
  auto* window = new CRealWndDlg(host->GetContext());
  if (!window->Create(nullptr, toolkit::NativeWindowKind::kChild, host->GetHwnd())) {
    delete window;
    return 0;
  }
  control->SetData(window);
  return window->GetHwnd();
}

void CRealWndHandler::OnRealWndDestroy(toolkit::SRealWnd* control) {
  auto* window = control ? static_cast<CRealWndDlg*>(control->GetData()) : nullptr;
  if (!window)
    return;
  control->SetData(nullptr);
  window->DestroyWindow();
  delete window;
}

}  // namespace popups
