#include <pugixml.hpp>

#include "toolkit/application.h"
#include "toolkit/controls.h"
#include "toolkit/host.h"
#include "toolkit/ui_context.h"

namespace toolkit {
namespace {

// The box of the message template: `btnSwitch` page 0 holds one button, page 1 two.
class MessageBoxDialog : public SHostDialog {
 public:
  MessageBoxDialog(UiContext& context, pugi::xml_node templ, std::wstring text,
                   std::wstring caption, int type)
      : SHostDialog(context, L""),
        text_(std::move(text)),
        caption_(std::move(caption)),
        type_(type) {
    SetLayoutXml(templ);
    if (auto strings = templ.child("strings")) {
      ok_ = Utf8ToWide(strings.attribute("ok").as_string("OK"));
      cancel_ = Utf8ToWide(strings.attribute("cancel").as_string("Cancel"));
    }
  }

 protected:
  bool OnInitDialog() override {
    if (auto* title = FindChildByName(L"msgtitle")) {
      if (!caption_.empty())
        title->SetWindowText(caption_);
    }
    if (auto* text = FindChildByName(L"msgtext"))
      text->SetWindowText(text_);
    auto* pages = FindChildByName2<STabCtrl>(L"btnSwitch");
    int page = type_ == kMessageBoxOkCancel ? 1 : 0;
    if (pages) {
      pages->SetCurSel(page);
      if (STabPage* buttons = pages->GetItem(page)) {
        if (auto* first = buttons->FindChildByName(L"button1st")) {
          first->SetWindowText(ok_);
          first->SetID(kDialogOk);
          first->SetFocus();
        }
        if (auto* second = buttons->FindChildByName(L"button2nd")) {
          second->SetWindowText(cancel_);
          second->SetID(kDialogCancel);
        }
      }
    }
    return true;
  }

  void _HandleEvent(EventArgs* evt) override {
    if (evt->GetID() != EVT_CMD)
      return;
    if (evt->nameFrom == L"button1st" || evt->nameFrom == L"button2nd" ||
        evt->nameFrom == L"button3rd") {
      EndDialog(evt->idFrom == kDialogCancel ? kDialogCancel : kDialogOk);
      ++evt->handled;
    }
  }

  // Esc and the close button answer Cancel when the box has it, else OK.
  void OnCancel() override { EndDialog(type_ == kMessageBoxOkCancel ? kDialogCancel : kDialogOk); }

 private:
  std::wstring text_, caption_;
  std::wstring ok_ = L"OK", cancel_ = L"Cancel";
  int type_;
};

}  // namespace

int SMessageBox(SHostWnd* parent, const std::wstring& text, const std::wstring& caption, int type) {
  if (!parent || !parent->GetContext().GetMsgTemplate())
    return kDialogCancel;
  UiContext& context = parent->GetContext();
  MessageBoxDialog box(context, context.GetMsgTemplate(), text, caption, type);
  return box.DoModal(parent);
}

}  // namespace toolkit
