#include "delay_load_win32.h"

#include "windows_base.h"

#include <delayimp.h>

#include <string>

namespace kestrelrun {
namespace {

void NoticeAndExit(const std::string& dll) {
  std::wstring text = L"Load " + std::wstring(dll.begin(), dll.end()) + L" Error!";
  MessageBoxW(nullptr, text.c_str(), L"提示", MB_OK | MB_ICONINFORMATION);
  ExitProcess(0);
}

// Runs on whichever thread made the call whose export is missing; the box is owned by no window.
FARPROC WINAPI DelayLoadFailed(unsigned reason, PDelayLoadInfo info) {
  if (reason == dliFailLoadLib || reason == dliFailGetProc)
    NoticeAndExit(info && info->szDll ? info->szDll : "library");
  return nullptr;
}

}  // namespace

void InstallDelayLoadNotice() {
  __pfnDliFailureHook2 = &DelayLoadFailed;
}

// Loaded here rather than at a first call, so that a missing library shows at once, on the UI
// thread, and not in the middle of a run. The delay-load helper then finds them loaded. (GNU ld
// leaves the delay-import directory empty, so __HrLoadAllImportsForDll cannot find them.)
void LoadDeviceLibraries() {
  for (const char* dll : {"MicProbe.dll", "CamProbe.dll"}) {
    if (!LoadLibraryA(dll))
      NoticeAndExit(dll);
  }
}

}  // namespace kestrelrun
