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

#include <commctrl.h>

#include <cstdio>
#include <cwchar>
#include <functional>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include <pugixml.hpp>

namespace {

using toolkit::WideToUtf8;

constexpr unsigned kDumpTimer = 0x6A11;  // writes the dump once the first frames are out
constexpr unsigned kExitTimer = 0x6A12;
constexpr unsigned kMsgBoxTimer = 0x6A13;  // opens the message box once the window shows
constexpr unsigned kModalTimer = 0x6A14;   // logs where the open message box lies

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

BOOL CALLBACK CollectWindow(HWND hwnd, LPARAM windows) {
  if (IsWindowVisible(hwnd))
    reinterpret_cast<std::vector<HWND>*>(windows)->push_back(hwnd);
  return TRUE;
}

// The first visible window of this thread with the class, owned by `owner` unless that is null.
HWND FindShown(const wchar_t* className, HWND owner) {
  std::vector<HWND> windows;
  EnumThreadWindows(GetCurrentThreadId(), CollectWindow, reinterpret_cast<LPARAM>(&windows));
  for (HWND hwnd : windows) {
    wchar_t name[64] = L"";
    GetClassNameW(hwnd, name, 64);
    if (std::wcscmp(name, className) == 0 && (!owner || GetWindow(hwnd, GW_OWNER) == owner))
      return hwnd;
  }
  return nullptr;
}

// The tooltip this thread shows, as a dump line ("tooltip 更多"); empty when none is visible.
std::string TooltipLine() {
  HWND tip = FindShown(TOOLTIPS_CLASSW, nullptr);
  if (!tip)
    return "";
  wchar_t buffer[256] = L"";
  TTTOOLINFOW info{};
  info.cbSize = sizeof info;
  info.hwnd = GetWindow(tip, GW_OWNER);
  info.lpszText = buffer;
  SendMessageW(tip, TTM_GETTEXTW, 256, reinterpret_cast<LPARAM>(&info));
  return "tooltip " + (buffer[0] ? WideToUtf8(buffer) : std::string("(no text)")) + "\n";
}

// The cursor the system shows now, as a dump line ("cursor hand").
std::string CursorLine() {
  CURSORINFO info{};
  info.cbSize = sizeof info;
  if (!GetCursorInfo(&info))
    return "cursor unknown\n";
  for (auto [id, name] : {std::pair{IDC_HAND, "hand"}, std::pair{IDC_ARROW, "arrow"},
                          std::pair{IDC_IBEAM, "ibeam"}}) {
    if (info.hCursor == LoadCursorW(nullptr, id))
      return std::string("cursor ") + name + "\n";
  }
  return "cursor other\n";
}

// The visible host window `owner` owns (the open message box): "modal X Y W H", screen pixels.
std::string OwnedWindowLine(HWND owner) {
  HWND box = FindShown(L"KestrelHost", owner);
  RECT r{};
  if (!box || !GetWindowRect(box, &r))
    return "modal none";
  return "modal " + std::to_string(r.left) + " " + std::to_string(r.top) + " " +
         std::to_string(r.right - r.left) + " " + std::to_string(r.bottom - r.top);
}

// --dropdown: the more menu as a drop-down below its button; a command from inside it ends
// it with kDialogOk, as the program's list pop-ups do.
class MoreMenu : public toolkit::ISDropDownOwner {
 public:
  explicit MoreMenu(std::function<void(const std::string&)> log) : log_(std::move(log)) {}
  toolkit::SWindow* GetDropDownOwner() override { return button_; }
  void OnDestroyDropDown(toolkit::SDropDownWnd* dropDown) override {
    log_("dropdown " + std::to_string(dropDown->GetExitCode()) + " " + chosen_);
    window_ = nullptr;
  }
  toolkit::SDropDownWnd* Window() const { return window_; }
  void Open(toolkit::SWindow* button) {
    toolkit::UiContext& context = button->GetContainer()->GetContext();
    auto raw = context.LoadRawResource(L"LAYOUT:XML_POPMENU");
    toolkit::SizeF size{0, 0};
    std::string content = raw ? gallery::DropDownContent(*raw, &size) : "";
    pugi::xml_document doc;
    if (content.empty() || !doc.load_string(content.c_str())) {
      log_("dropdown none");
      return;
    }
    toolkit::RectF b = button->GetWindowRect();
    button_ = button;
    chosen_.clear();
    window_ = new toolkit::SDropDownWnd(context, this);
    window_->Create({b.x + b.w - size.w, b.y + b.h + 2, size.w, size.h}, doc.first_child());
  }
  void Choose(const std::wstring& name) {
    chosen_ = WideToUtf8(name);
    window_->EndDropDown(toolkit::kDialogOk);
  }

 private:
  std::function<void(const std::string&)> log_;
  toolkit::SWindow* button_ = nullptr;
  toolkit::SDropDownWnd* window_ = nullptr;
  std::string chosen_;
};

// The layout's window, or with --modal its modal dialog: dumps itself, logs its events.
template <class Base>
class GalleryHost : public Base {
 public:
  static constexpr bool kDialog = std::is_base_of_v<toolkit::SHostDialog, Base>;

  GalleryHost(toolkit::SApplication& app, const gallery::Options& options, float scale)
      : Base(app.Context(), options.layout),
        app_(app),
        options_(options),
        scale_(scale),
        menu_([this](const std::string& l) { Log(l); }) {
    if (!options.eventsPath.empty())
      events_ = _wfopen(toolkit::Utf8ToWide(options.eventsPath).c_str(), L"wb");
  }
  ~GalleryHost() override {
    if (events_)
      std::fclose(events_);
  }
  using Base::SetLayoutXml;

  void Log(const std::string& line) {
    if (!events_)
      return;
    std::fwrite(line.data(), 1, line.size(), events_);
    std::fputc('\n', events_);
    std::fflush(events_);
  }
  bool TimedOut() const { return timedOut_; }

  void OnPaint(toolkit::IRender& render, const toolkit::RectF& dirty) override {
    Base::OnPaint(render, dirty);
    if (painted_)
      return;
    painted_ = true;
    std::printf("first frame: %.0f ms after start\n", SinceStart());
    std::fflush(stdout);
    if (options_.firstFrame)
      app_.Quit(0);
  }

  void WriteDump() {
    RECT r{};
    GetWindowRect(Hwnd(), &r);
    std::string dump =
        toolkit::DumpTree(*this, scale_, r.left, r.top) + TooltipLine() + CursorLine();
    if (toolkit::SDropDownWnd* drop = menu_.Window()) {
      GetWindowRect(reinterpret_cast<HWND>(drop->GetHwnd()), &r);
      dump += "dropdown\n" + toolkit::DumpTree(*drop, scale_, r.left, r.top);
    }
    WriteFile(options_.dumpPath, dump);
  }

 protected:
  bool OnInitDialog() override {
    for (const auto& name : gallery::ApplyOptions(*this, options_))
      std::fprintf(stderr, "gallery: no control %s\n", WideToUtf8(name).c_str());
    this->SetTimer(kDumpTimer, 100);
    if (options_.exitAfterMs > 0)
      this->SetTimer(kExitTimer, static_cast<unsigned>(options_.exitAfterMs));
    if (options_.msgBoxType >= 0)
      this->SetTimer(kMsgBoxTimer, 150);
    return true;
  }
  void OnTimerEvent(unsigned id) override {
    if (id == kDumpTimer) {
      if (options_.redumpMs > 0)
        this->SetTimer(kDumpTimer, static_cast<unsigned>(options_.redumpMs));
      else
        this->KillTimer(kDumpTimer);
      WriteDump();
    } else if (id == kExitTimer) {
      timedOut_ = true;
      if constexpr (kDialog)
        this->EndDialog(toolkit::kDialogCancel);
      else
        app_.Quit(0);
    } else if (id == kMsgBoxTimer) {
      this->KillTimer(kMsgBoxTimer);
      this->SetTimer(kModalTimer, 300);
      int code =
          toolkit::SMessageBox(this, L"网络连接失败，请检查网络设置", L"提示", options_.msgBoxType);
      Log("msgbox " + std::to_string(code));
    } else if (id == kModalTimer) {
      this->KillTimer(kModalTimer);
      Log(OwnedWindowLine(Hwnd()));
    }
  }
  void _HandleEvent(toolkit::EventArgs* evt) override {
    std::string line = std::to_string(evt->GetID()) + " " + WideToUtf8(evt->nameFrom);
    if (evt->GetID() == toolkit::EVT_CMD && evt->sender && evt->sender->IsClass(L"check"))
      line += evt->sender->IsChecked() ? " checked" : " unchecked";
    Log(line);
    if (evt->GetID() != toolkit::EVT_CMD || !evt->sender)
      return;
    if (menu_.Window() && evt->sender->GetContainer() == menu_.Window()) {
      menu_.Choose(evt->nameFrom);
      ++evt->handled;
    } else if (!options_.dropDownButton.empty() && evt->nameFrom == options_.dropDownButton &&
               !menu_.Window()) {
      menu_.Open(evt->sender);
    }
  }
  bool OnClose() override {
    if constexpr (kDialog)
      return Base::OnClose();
    app_.Quit(0);
    return true;
  }

 private:
  HWND Hwnd() const { return reinterpret_cast<HWND>(this->GetHwnd()); }

  toolkit::SApplication& app_;
  const gallery::Options& options_;
  float scale_;
  MoreMenu menu_;
  FILE* events_ = nullptr;
  bool painted_ = false;
  bool timedOut_ = false;
};

// Loads the layout into `window` (a layout part inside a plain window) and builds it.
template <class Window>
void Prepare(toolkit::SApplication& app, const gallery::Options& options, Window& window,
             pugi::xml_document& part) {
  if (auto raw = app.Context().LoadRawResource(options.layout, L"LAYOUT")) {
    std::string wrapped =
        gallery::WrapPart(*raw, options.layout, options.partWidth, options.partHeight);
    if (!wrapped.empty() && part.load_string(wrapped.c_str()))
      window.SetLayoutXml(part.first_child());
  }
}

// Prints the layout problems; returns whether there were any.
bool PrintProblems(const toolkit::SApplication& app) {
  std::string problems = gallery::FormatDiagnostics(app.Context().GetDiagnostics());
  if (!problems.empty())
    std::fprintf(stderr, "%s", problems.c_str());
  return !problems.empty();
}

int Run(const gallery::Options& options) {
  toolkit::Win32Platform platform;
  platform.ForceHighContrast(options.highContrast);
  toolkit::SApplication app(&platform);
  toolkit::UiContext& context = app.Context();
  RealWnds realWnds;
  context.SetRealWndHandler(&realWnds);

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
  context.AddResProvider(std::move(layered));
  pugi::xml_document box;
  if (context.LoadXmlDocment(box, L"LAYOUT:XML_MSGBOX"))
    context.SetMsgTemplate(box.first_child());
  else
    context.ClearDiagnostics();  // a layout set without a message box is fine here

  pugi::xml_document part;
  if (options.modal) {
    GalleryHost<toolkit::SHostDialog> dialog(app, options, platform.Scale());
    Prepare(app, options, dialog, part);
    int code = dialog.DoModal(nullptr);
    PrintProblems(app);
    dialog.Log(dialog.TimedOut() ? "end timeout" : "end " + std::to_string(code));
    return code < 0 ? 2 : 0;
  }
  GalleryHost<toolkit::SHostWnd> window(app, options, platform.Scale());
  Prepare(app, options, window, part);
  bool created = window.Create();
  bool problems = PrintProblems(app);
  if (!created || window.GetWindowSize().w <= 0) {
    std::fprintf(stderr, "gallery: %s is no window layout\n", WideToUtf8(options.layout).c_str());
    return 2;
  }
  if (options.check)
    return problems ? 1 : 0;
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
