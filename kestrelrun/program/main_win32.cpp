// KestrelRun.exe: the program entry. Sets the working folder, the log, the toolkit and its
// resources, builds the main window and runs the message loop; after it, the window's shutdown
// and the release of what the entry made.

// The toolkit's headers come before <windows.h>: its dialog codes and message box types share
// names with Win32 macros, which must not rewrite the declarations.
#include "app/logger_win32.h"
#include "app/netprobe_calls.h"
#include "controls/monitor_area_win32.h"
#include "delay_load_win32.h"
#include "device_popups_win32.h"
#include "kestrel/codepage.h"
#include "kestrel/module_path.h"
#include "platform_win32.h"
#include "popup_registration.h"
#include "program_services_win32.h"
#include "resources_win32.h"
#include "state_dump_win32.h"
#include "toolkit/application.h"
#include "ui/log_lines.h"
#include "ui/main_wnd.h"

#include "windows_base.h"

#include <objbase.h>
#include <objidl.h>
#include <ole2.h>
// After objidl.h, which WIN32_LEAN_AND_MEAN leaves out.
#include <gdiplus.h>
#include <shlwapi.h>
#include <shobjidl.h>

#include <memory>
#include <string>

#include <pugixml.hpp>

namespace {

constexpr const wchar_t* kCaption = L"提示";

void Notice(const wchar_t* text) {
  MessageBoxW(nullptr, text, kCaption, MB_OK | MB_ICONINFORMATION);
}

// The folder of the program file, ending in a backslash.
std::wstring ProgramFolder() {
  std::wstring path = kestrel::win32::ModulePath(nullptr);
  return path.substr(0, path.find_last_of(L'\\') + 1);
}

// The toolkit's drawing: GDI+ started for the process, shut down when this goes.
class Drawing {
 public:
  bool Start() {
    Gdiplus::GdiplusStartupInput input;
    started_ = Gdiplus::GdiplusStartup(&token_, &input, nullptr) == Gdiplus::Ok;
    return started_;
  }
  ~Drawing() {
    if (started_)
      Gdiplus::GdiplusShutdown(token_);
  }

 private:
  ULONG_PTR token_ = 0;
  bool started_ = false;
};

// The toolkit's picture decoding: the program's own small icon decodes from its PNG bytes.
bool PicturesDecode() {
  auto png = toolkit::FindResourceBytes("LOGO:16");
  if (!png)
    return false;
  IStream* stream =
      SHCreateMemStream(reinterpret_cast<const BYTE*>(png->data()), static_cast<UINT>(png->size()));
  if (!stream)
    return false;
  std::unique_ptr<Gdiplus::Bitmap> bitmap(Gdiplus::Bitmap::FromStream(stream));
  bool ok = bitmap && bitmap->GetLastStatus() == Gdiplus::Ok && bitmap->GetWidth() > 0;
  bitmap.reset();
  stream->Release();
  return ok;
}

// The taskbar button's progress for the finished-run flashing; null when the shell has none.
ITaskbarList3* CreateTaskbar() {
  ITaskbarList3* taskbar = nullptr;
  if (FAILED(CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskbarList3,
                              reinterpret_cast<void**>(&taskbar))))
    return nullptr;
  if (FAILED(taskbar->HrInit())) {
    taskbar->Release();
    return nullptr;
  }
  return taskbar;
}

int Run(HINSTANCE instance) {
  (void)instance;
  std::wstring folder = ProgramFolder();
  SetCurrentDirectoryW(folder.c_str());

  LOGGER::Win32LogPlatform logPlatform;
  LOGGER::CLogger logger(logPlatform, LOGGER::kInfo, logPlatform.ProgramFolder() + "log\\", "");

  // The toolkit's own parts in place of separate modules: a missing one stops the program as a
  // missing module would, the rich-text view only changes how the agreement looks.
  Drawing drawing;
  if (!drawing.Start()) {
    Notice(L"Load CreateRender_Skia Error!");
    return 0;
  }
  if (!PicturesDecode()) {
    Notice(L"Load CreateImgDecoder Error!");
    return 0;
  }
  toolkit::Win32Platform platform;
  toolkit::SApplication app(&platform);
  if (!LoadLibraryW(L"msftedit.dll"))
    Notice(L"Load SYS_NAMED_RESOURCE Error!");
  app.Context().AddResProvider(std::make_unique<toolkit::Win32ResProvider>(platform.Scale()),
                               L"uidef:xml_init");
  // The device popups' waveform and dropdowns, and the camera picture's real window.
  popups::CRealWndHandler realWnds;
  popups::RegisterPopupControls(app.Context(), &popups::MonitorArea(), &realWnds);
  pugi::xml_document msgbox;
  if (app.Context().LoadXmlDocment(msgbox, L"XML_MSGBOX", L"LAYOUT"))
    app.Context().SetMsgTemplate(msgbox.child("SOUI"));

  ITaskbarList3* taskbar = CreateTaskbar();
  auto codePage = kestrel::MakeSystemCodePage();
  kestrelrun::CLoggerLines logLines(logger);
  {
    kestrelrun::Win32ProgramServices services(folder, taskbar);
    kestrelrun::DevicePopupsFactory popupsFactory =
        kestrelrun::MakeDevicePopups(app.Context(), *codePage);
    kestrelrun::CMainWnd window(
        app,
        {services, std::make_shared<kestrelrun::NetProbeCalls>(), logLines, popupsFactory, {}});
    if (window.Create()) {
      window.CenterWindow();
      std::unique_ptr<kestrelrun::StateDump> dump =
          kestrelrun::StartStateDump(window, platform.Scale());
      app.Run(&window);
      window.SetDevelopmentHook(0, nullptr);  // the hook reads the dump's figures
    }
    window.DestroyWindow();
  }
  if (taskbar)
    taskbar->Release();
  return 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  kestrelrun::InstallDelayLoadNotice();
  OleInitialize(nullptr);
  int code = Run(instance);
  OleUninitialize();
  return code;
}
