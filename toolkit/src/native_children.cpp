// The controls shown by a native child window: the rich-text view and the real window.
#include "toolkit/controls.h"

#include "builtin_controls.h"
#include "palette.h"
#include "toolkit/ui_context.h"

namespace toolkit {

void RegisterNativeChildControls(UiContext& context) {
  context.RegisterWindowClass<SRichEdit>();
  context.RegisterWindowClass<SRealWnd>();
}

void SNativeChild::PlaceChild() {
  SHostWnd* host = GetContainer();
  if (host && host->GetNative() && nativeChild_)
    host->GetNative()->PlaceChild(nativeChild_, GetWindowRect(), IsVisible(true));
}

void SNativeChild::OnShownChanged(bool shown) {
  (void)shown;
  PlaceChild();
}

void SNativeChild::Layout(const RectF& parentClient, IRender& measure) {
  SWindow::Layout(parentClient, measure);
  PlaceChild();
}

bool SRichEdit::SetAttribute(const std::wstring& name, const std::wstring& value, bool loading) {
  if (name == L"rtf") {
    source_ = value;
    UiContext* context = GetContext();
    auto bytes = context ? context->LoadRawResource(value, L"RTF") : std::nullopt;
    if (!bytes) {
      if (context)
        context->Diagnostics().Report(Diagnostic::kMissingLayout,
                                      L"no rich text named \"" + value + L"\"");
      rtf_.clear();
    } else {
      rtf_ = *bytes;
    }
    return true;
  }
  // The view is always read-only, wrapping, with a vertical scroll bar only.
  if (name == L"readOnly" || name == L"multiLines" || name == L"wordWrap" ||
      name == L"vscrollBar" || name == L"hscrollBar" || name == L"autoVScroll")
    return true;
  return SWindow::SetAttribute(name, value, loading);
}

void SRichEdit::OnAttach(SHostWnd* host) {
  if (host->GetNative() && !nativeChild_)
    nativeChild_ = host->GetNative()->CreateRichTextChild(rtf_);
  PlaceChild();
}

void SRichEdit::OnDetach() {
  SHostWnd* host = GetContainer();
  if (host && host->GetNative() && nativeChild_)
    host->GetNative()->DestroyChild(nativeChild_);
  nativeChild_ = 0;
}

void SRichEdit::OnFocusChanged(bool focused) {
  SHostWnd* host = GetContainer();
  if (!host || !host->GetNative() || !nativeChild_)
    return;
  // Leaving it gives the keys back to the host window, which moves the focus on.
  host->GetNative()->FocusChild(focused ? nativeChild_ : host->GetNative()->Handle());
}

void SRichEdit::OnPaint(IRender& render) {
  RectF rect = GetWindowRect();
  render.FillRect(rect, PaletteOf(*this).white);
}

bool SRealWnd::SetAttribute(const std::wstring& name, const std::wstring& value, bool loading) {
  if (name == L"wndclass") {
    wndClass_ = value;
    return true;
  }
  if (name == L"wndname") {
    wndName_ = value;
    return true;
  }
  return SWindow::SetAttribute(name, value, loading);
}

void SRealWnd::OnAttach(SHostWnd* host) {
  IRealWndHandler* handler = host->GetContext().GetRealWndHandler();
  if (handler && !nativeChild_)
    nativeChild_ = handler->OnRealWndCreate(this);
  PlaceChild();
}

void SRealWnd::OnDetach() {
  SHostWnd* host = GetContainer();
  IRealWndHandler* handler = host ? host->GetContext().GetRealWndHandler() : nullptr;
  if (handler && (nativeChild_ || data_))
    handler->OnRealWndDestroy(this);
  nativeChild_ = 0;
}

}  // namespace toolkit
