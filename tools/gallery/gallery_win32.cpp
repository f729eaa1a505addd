// The gallery: opens one layout of the program with the toolkit's Win32 host, for looking at it,
// photographing it (scripts/screenshots) and driving it with real clicks (its Wine tests).
// Development only; the layouts come from a folder, the pictures from its own resources.

// The toolkit's headers come before <windows.h>: its dialog codes and message box types share
// names with Win32 macros, which must not rewrite the declarations.
#include "gallery_options.h"
#include "platform_win32.h"
#include "toolkit/application.h"
#include "toolkit/controls.h"
#include "toolkit/host.h"

#include "windows_base.h"

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include <pugixml.hpp>

namespace {

using toolkit::WideToUtf8;

constexpr unsigned kDumpTimer = 0x6A11;  // writes the dump once the first frames are out
constexpr unsigned kExitTimer = 0x6A12;

std::uint64_t Milliseconds(const FILETIME& t) {
  return ((static_cast<std::uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 10000;
}

// Time since the process was created, in milliseconds.
double SinceStart() {
  FILETIME creation, exit, kernel, user, now;
  GetProcessTimes(GetCurrentProcess(), &creation, &exit, &kernel, &user);
  GetSystemTimeAsFileTime(&now);
  return static_cast<double>(Milliseconds(now) - Milliseconds(creation));
}

void WriteFile(const std::string& path, const std::string& text) {
  if (path.empty())
    return;
  std::wstring wide = toolkit::Utf8ToWide(path);
  std::wstring temp = wide + L".part";
  if (FILE* f = _wfopen(temp.c_str(), L"wb")) {
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
    // Renamed into place, so a reader never meets half a file.
    MoveFileExW(temp.c_str(), wide.c_str(), MOVEFILE_REPLACE_EXISTING);
  }
}

// A `realwnd` control gets a plain dark native child, standing in for the camera picture.
class RealWnds : public toolkit::IRealWndHandler {
 public:
  std::uintptr_t OnRealWndCreate(toolkit::SRealWnd* control) override {
    toolkit::SHostWnd* host = control->GetContainer();
    if (!host || control->GetWndClass() != L"CRealWndDlg")
      return 0;
    HWND child = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_BLACKRECT, 0, 0, 0,
                                 0, reinterpret_cast<HWND>(host->GetHwnd()), nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
    return reinterpret_cast<std::uintptr_t>(child);
  }
  void OnRealWndDestroy(toolkit::SRealWnd* control) override {
    HWND child = reinterpret_cast<HWND>(control->GetRealHwnd());
    if (IsWindow(child))
      DestroyWindow(child);
  }
};

class GalleryWindow : public toolkit::SHostWnd {
 public:
  GalleryWindow(const gallery::Options& options, float scale)
      : SHostWnd(options.layout), options_(options), scale_(scale) {
    if (!options.eventsPath.empty())
      events_ = _wfopen(toolkit::Utf8ToWide(options.eventsPath).c_str(), L"wb");
  }
  ~GalleryWindow() override {
    if (events_)
      std::fclose(events_);
  }
  using SHostWnd::SetLayoutXml;

  void OnPaint(toolkit::IRender& render, const toolkit::RectF& dirty) override {
    SHostWnd::OnPaint(render, dirty);
    if (painted_)
      return;
    painted_ = true;
    std::printf("first frame: %.0f ms after start\n", SinceStart());
    std::fflush(stdout);
    if (options_.firstFrame)
      toolkit::SApplication::getSingletonPtr()->Quit(0);
  }

  void WriteDump() {
    RECT r{};
    GetWindowRect(reinterpret_cast<HWND>(GetHwnd()), &r);
    WriteFile(options_.dumpPath, gallery::DumpTree(*this, scale_, r.left, r.top));
  }

 protected:
  bool OnInitDialog() override {
    SetTimer(kDumpTimer, 100);
    if (options_.exitAfterMs > 0)
      SetTimer(kExitTimer, static_cast<unsigned>(options_.exitAfterMs));
    return true;
  }
  void OnTimerEvent(unsigned id) override {
    if (id == kDumpTimer) {
      KillTimer(kDumpTimer);
      WriteDump();
    } else if (id == kExitTimer) {
      toolkit::SApplication::getSingletonPtr()->Quit(0);
    }
  }
  void _HandleEvent(toolkit::EventArgs* evt) override {
    if (!events_)
      return;
    std::string line = std::to_string(evt->GetID()) + " " + WideToUtf8(evt->nameFrom);
    if (evt->GetID() == toolkit::EVT_CMD && evt->sender && evt->sender->IsClass(L"check"))
      line += evt->sender->IsChecked() ? " checked" : " unchecked";
    line += "\n";
    std::fwrite(line.data(), 1, line.size(), events_);
    std::fflush(events_);
  }
  bool OnClose() override {
    toolkit::SApplication::getSingletonPtr()->Quit(0);
    return true;
  }

 private:
  const gallery::Options& options_;
  float scale_;
  FILE* events_ = nullptr;
  bool painted_ = false;
};

int Run(const gallery::Options& options) {
  toolkit::Win32Platform platform;
  toolkit::SApplication app(&platform);
  RealWnds realWnds;
  app.SetRealWndHandler(&realWnds);

  auto files = std::make_unique<toolkit::FileResProvider>();
  std::string error;
  std::string root = options.resDir.empty() ? KESTREL_GALLERY_RES_DIR : options.resDir;
  if (!files->Init(root, &error)) {
    std::fprintf(stderr, "gallery: %s\n", error.c_str());
    return 2;
  }
  if (options.list) {
    for (const auto& name : gallery::LayoutNames(*files))
      std::printf("%s\n", WideToUtf8(name).c_str());
    return 0;
  }
  auto layered = std::make_unique<gallery::LayeredResProvider>();
  layered->Add(std::move(files));
  layered->Add(std::make_unique<toolkit::Win32ResProvider>(platform.Scale()));
  app.AddResProvider(std::move(layered));
  pugi::xml_document box;
  if (app.LoadXmlDocment(box, L"LAYOUT:XML_MSGBOX"))
    app.SetMsgTemplate(box.first_child());
  else
    app.ClearDiagnostics();  // a layout set without a message box is fine here

  GalleryWindow window(options, platform.Scale());
  pugi::xml_document part;
  if (auto raw = app.LoadRawResource(options.layout, L"LAYOUT")) {
    std::string wrapped =
        gallery::WrapPart(*raw, options.layout, options.partWidth, options.partHeight);
    if (!wrapped.empty() && part.load_string(wrapped.c_str()))
      window.SetLayoutXml(part.first_child());
  }
  bool created = window.Create();
  std::string problems = gallery::FormatDiagnostics(app.GetDiagnostics());
  if (!problems.empty())
    std::fprintf(stderr, "%s", problems.c_str());
  if (!created || window.GetWindowSize().w <= 0) {
    std::fprintf(stderr, "gallery: %s is no window layout\n", WideToUtf8(options.layout).c_str());
    return 2;
  }
  if (options.check)
    return problems.empty() ? 0 : 1;
  for (const auto& name : gallery::ApplyOptions(window, options))
    std::fprintf(stderr, "gallery: no control %s\n", WideToUtf8(name).c_str());
  window.CenterWindow();
  return app.Run(&window);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i)
    args.push_back(WideToUtf8(argv[i]));
  std::string error;
  auto options = gallery::ParseOptions(args, &error);
  if (!options) {
    std::fprintf(stderr, "gallery: %s\n%s", error.c_str(), gallery::Usage().c_str());
    return 2;
  }
  return Run(*options);
}
