// The host windows that end: the modal dialog and the drop-down.
#include <pugixml.hpp>

#include "toolkit/host.h"
#include "toolkit/ui_context.h"

namespace toolkit {

int SHostDialog::DoModal(SHostWnd* parent) {
  endCode_ = kDialogCancel;
  ended_ = false;
  if (!Create(parent, NativeWindowKind::kDialog))
    return -1;
  if (!ended_) {
    CenterWindow();
    ShowWindow(true);
    inModal_ = true;
    GetNative()->RunModalLoop();
    inModal_ = false;
  }
  DestroyWindow();
  return endCode_;
}

void SHostDialog::EndDialog(int code) {
  if (ended_)
    return;
  ended_ = true;
  endCode_ = code;
  if (inModal_ && GetNative())
    GetNative()->EndModalLoop(code);
}

bool SHostDialog::OnClose() {
  OnCancel();
  return false;
}

bool SHostDialog::OnKeyEvent(const KeyEvent& key) {
  if (SHostWnd::OnKeyEvent(key))
    return true;
  if (key.key == Key::kEscape) {
    OnCancel();
    return true;
  }
  return false;
}

SDropDownWnd::SDropDownWnd(UiContext& context, ISDropDownOwner* owner)
    : SHostWnd(context, L""), owner_(owner) {}

bool SDropDownWnd::Create(const RectF& rect, pugi::xml_node content) {
  SWindow* ownerControl = owner_->GetDropDownOwner();
  SHostWnd* ownerHost = ownerControl ? ownerControl->GetContainer() : nullptr;
  pugi::xml_document doc;
  pugi::xml_node root = doc.append_child("SOUI");
  root.append_attribute("width") = static_cast<double>(rect.w);
  root.append_attribute("height") = static_cast<double>(rect.h);
  root.append_copy(content).set_name("root");
  DiagnosticLog::SourceScope scope(GetContext().Diagnostics(), L"(drop-down)", nullptr);
  if (!CreateFromXml(root, ownerHost, NativeWindowKind::kDropDown))
    return false;
  GetRoot()->SetOwner(ownerControl);
  RectF at = rect;
  if (ownerHost && ownerHost->GetNative()) {
    RectF origin = ownerHost->GetNative()->Geometry();
    at.x += origin.x;
    at.y += origin.y;
  }
  GetNative()->SetGeometry(at, 0, 0);
  owner_->OnCreateDropDown(this);
  ShowWindow(true);
  return true;
}

void SDropDownWnd::EndDropDown(int code) {
  if (ended_)
    return;
  ended_ = true;
  exitCode_ = code;
  DestroyWindow();
}

void SDropDownWnd::OnDestroy() {
  ended_ = true;
  owner_->OnDestroyDropDown(this);
  GetContext().DeleteLater([this] { delete this; });
}

void SDropDownWnd::OnActivateChanged(bool active) {
  if (!active)
    EndDropDown(kDialogCancel);
}

bool SDropDownWnd::OnKeyEvent(const KeyEvent& key) {
  if (key.key == Key::kEscape) {
    EndDropDown(kDialogCancel);
    return true;
  }
  return SHostWnd::OnKeyEvent(key);
}

bool SDropDownWnd::OnClose() {
  EndDropDown(kDialogCancel);
  return false;
}

}  // namespace toolkit
