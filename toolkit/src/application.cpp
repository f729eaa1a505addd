#include "toolkit/application.h"

#include "builtin_controls.h"
#include "toolkit/host.h"

namespace toolkit {

SApplication::SApplication(INativePlatform* platform) : context_(platform) {
  RegisterBuiltinControls(context_);
}

SApplication::~SApplication() = default;

int SApplication::Run(SHostWnd* mainWindow) {
  if (mainWindow)
    mainWindow->ShowWindow(true);
  return context_.GetPlatform()->RunMessageLoop();
}

void SApplication::Quit(int code) {
  context_.GetPlatform()->Quit(code);
}

}  // namespace toolkit
