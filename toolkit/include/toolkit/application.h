// The application: the one UI context of the program's windows, and the message loop.
#pragma once

#include <string>

#include "toolkit/native_platform.h"
#include "toolkit/ui_context.h"

namespace toolkit {

class SHostWnd;

class SApplication {
 public:
  // The context starts with the built-in control classes registered.
  explicit SApplication(INativePlatform* platform);
  ~SApplication();
  SApplication(const SApplication&) = delete;
  SApplication& operator=(const SApplication&) = delete;

  UiContext& Context() { return context_; }
  const UiContext& Context() const { return context_; }

  // Runs the message loop until Quit (the main window shown first).
  int Run(SHostWnd* mainWindow);
  void Quit(int code = 0);

 private:
  UiContext context_;
};

// Shows the message box of the "XML_MSGBOX" template of the parent's context modally.
// Returns kDialogOk (1) or kDialogCancel (2); kDialogCancel at once, with nothing shown, when
// there is no parent to take the context from or the context has no template.
enum MessageBoxType { kMessageBoxOk = 0, kMessageBoxOkCancel = 1 };
int SMessageBox(SHostWnd* parent, const std::wstring& text, const std::wstring& caption, int type);

}  // namespace toolkit
