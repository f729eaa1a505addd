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

bool SRichEdit::SetAttribute(const std::wstring& key, const std::wstring& text, bool load) {
  static const AttributeTable<SRichEdit> table{
      {L"rtf",
       [](SRichEdit& view, const std::wstring&, const std::wstring& value, bool) {
         view.source_ = value;
         UiContext* context = view.GetContext();
         auto bytes = context ? context->LoadRawResource(value, L"RTF") : std::nullopt;
         if (!bytes) {
           if (context)
             context->Diagnostics().Report(Diagnostic::kMissingLayout,
                                           L"no rich text named \"" + value + L"\"");
           view.rtf_.clear();
         } else {
           view.rtf_ = *bytes;
         }
       }},
      // The view is always read-only, wrapping, with a vertical scroll bar only.
      {L"readOnly", &IgnoreAttribute<SRichEdit>},
      {L"multiLines", &IgnoreAttribute<SRichEdit>},
      {L"wordWrap", &IgnoreAttribute<SRichEdit>},
      {L"vscrollBar", &IgnoreAttribute<SRichEdit>},
      {L"hscrollBar", &IgnoreAttribute<SRichEdit>},
      {L"autoVScroll", &IgnoreAttribute<SRichEdit>},
  };
  return table.Apply(*this, key, text, load) || SWindow::SetAttribute(key, text, load);
}

// The view's window is made when the control first shows (attached shown, or its page chosen):
// the agreement's page starts hidden, and making the rich-text window and reading its RTF came
// before the main window's first paint.
void SRichEdit::OnShownChanged(bool shown) {
  if (shown)
    MakeChild();
  SNativeChild::OnShownChanged(shown);
}

void SRichEdit::MakeChild() {
  SHostWnd* host = GetContainer();
  if (host && host->GetNative() && !nativeChild_)
    nativeChild_ = host->GetNative()->CreateRichTextChild(rtf_);
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

bool SRealWnd::SetAttribute(const std::wstring& key, const std::wstring& text, bool load) {
  static const AttributeTable<SRealWnd> table{
      {L"wndclass", [](SRealWnd& real, const std::wstring&, const std::wstring& value,
                       bool) { real.wndClass_ = value; }},
      {L"wndname", [](SRealWnd& real, const std::wstring&, const std::wstring& value,
                      bool) { real.wndName_ = value; }},
  };
  return table.Apply(*this, key, text, load) || SWindow::SetAttribute(key, text, load);
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
