#include "state_dump_win32.h"

#include "kestrel/process_figures.h"
#include "toolkit/controls.h"
#include "toolkit/tree_dump.h"
#include "ui/main_wnd.h"

#include <windows.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace kestrelrun {
namespace {

constexpr unsigned kDumpPeriodMs = 100;
// The process's own figures are read this often, off the UI thread: under Wine the handle probes
// are hundreds of server calls, 20 to 80 ms on a quiet machine, and the heap walk locks the heaps.
constexpr auto kProcessPeriod = std::chrono::seconds(1);

// The open handles by type, "handles Event=N File=N ...": which kind a run leaves behind.
std::string HandleLine() {
  std::string line = "handles";
  for (const auto& [type, count] : kestrel::win32::HandleTypes())
    line += " " + type + "=" + std::to_string(count);
  return line + "\n";
}

// The process's own figures, read from inside (kestrel/process_figures.h says which Wine
// answers and how): enough to tell a run that leaves handles, GDI objects, windows or heap blocks
// behind from a heap that only keeps free space for later.
std::string ProcessLine() {
  using namespace kestrel::win32;
  const HeapFigures heap = WalkHeaps();
  return "process private=" + std::to_string(PrivateBytes()) +
         " threads=" + std::to_string(ThreadCount()) + " handles=" + std::to_string(HandleCount()) +
         " gdi=" + std::to_string(GdiObjectCount()) + " windows=" + std::to_string(WindowCount()) +
         " heapbusy=" + std::to_string(heap.busyBytes) +
         " heapblocks=" + std::to_string(heap.busyBlocks) +
         " heapcommitted=" + std::to_string(heap.committedBytes) + "\n" + HandleLine();
}

BOOL CALLBACK CollectOwned(HWND hwnd, LPARAM found) {
  auto* windows = reinterpret_cast<std::vector<HWND>*>(found);
  if (IsWindowVisible(hwnd))
    windows->push_back(hwnd);
  return TRUE;
}

std::string ScreenRect(HWND hwnd) {
  RECT r{};
  GetWindowRect(hwnd, &r);
  return std::to_string(r.left) + " " + std::to_string(r.top) + " " +
         std::to_string(r.right - r.left) + " " + std::to_string(r.bottom - r.top);
}

// The visible host windows of this thread that `owner` owns (the open boxes), innermost last.
std::vector<HWND> OwnedHosts(HWND owner) {
  std::vector<HWND> windows, owned;
  EnumThreadWindows(GetCurrentThreadId(), CollectOwned, reinterpret_cast<LPARAM>(&windows));
  for (HWND hwnd : windows) {
    wchar_t name[64] = L"";
    GetClassNameW(hwnd, name, 64);
    if (std::wstring(name) == L"KestrelHost" && GetWindow(hwnd, GW_OWNER) == owner)
      owned.push_back(hwnd);
  }
  return owned;
}

std::string TreeOf(toolkit::SHostWnd& host, float scale) {
  RECT r{};
  GetWindowRect(reinterpret_cast<HWND>(host.GetHwnd()), &r);
  return toolkit::DumpTree(host, scale, r.left, r.top);
}

void WriteWhole(const std::wstring& path, const std::string& text) {
  std::wstring temp = path + L".part";
  if (FILE* f = _wfopen(temp.c_str(), L"wb")) {
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
    // Renamed into place, so a reader never meets half a file.
    MoveFileExW(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
  }
}

// The latest process line, rewritten once a second by a thread of its own until it is told to end.
class ProcessFigures : public StateDump {
 public:
  ProcessFigures() : thread_([this] { Read(); }) {}
  ~ProcessFigures() override {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      ending_ = true;
    }
    wake_.notify_one();
    thread_.join();
  }
  std::string Line() {
    std::lock_guard<std::mutex> lock(mutex_);
    return line_;
  }

 private:
  void Read() {
    std::unique_lock<std::mutex> lock(mutex_);
    while (!ending_) {
      lock.unlock();
      std::string line = ProcessLine();
      lock.lock();
      line_ = std::move(line);
      wake_.wait_for(lock, kProcessPeriod, [this] { return ending_; });
    }
  }

  std::mutex mutex_;
  std::condition_variable wake_;
  bool ending_ = false;
  std::string line_;
  std::thread thread_;  // last: it starts once the rest is made
};

}  // namespace

std::unique_ptr<StateDump> StartStateDump(CMainWnd& window, float scale) {
  wchar_t path[MAX_PATH] = L"";
  if (!GetEnvironmentVariableW(L"KESTREL_UI_DUMP", path, MAX_PATH) || !path[0])
    return nullptr;
  std::wstring file = path;
  auto figures = std::make_unique<ProcessFigures>();
  ProcessFigures* process = figures.get();
  window.SetDevelopmentHook(kDumpPeriodMs, [&window, scale, file, process] {
    HWND main = reinterpret_cast<HWND>(window.GetHwnd());
    std::string dump = TreeOf(window, scale);
    dump += std::string("minimised ") + (IsIconic(main) ? "1" : "0") + "\n";
    kestrelrun::DetectState state = window.Controller().State();
    dump += "state running=" + std::to_string(state.running) +
            " networkUp=" + std::to_string(state.networkUp) +
            " presenceChecked=" + std::to_string(window.PresenceChecked()) +
            " ready=" + std::to_string(window.StartupDone()) + "\n";
    dump += process->Line();
    IDevicePopups& popups = window.Popups();
    for (auto [name, popup] :
         {std::pair{"audio", popups.AudioWindow()}, std::pair{"camera", popups.CameraWindow()}}) {
      if (popup && popup->IsWindowVisible())
        dump += std::string("popup ") + name + "\n" + TreeOf(*popup, scale);
    }
    if (toolkit::SHostWnd* dialog = window.OpenDialog())
      dump +=
          "dialog " + toolkit::WideToUtf8(dialog->GetLayoutName()) + "\n" + TreeOf(*dialog, scale);
    for (const auto& text : window.OpenMessageBoxes())
      dump += "msgbox " + toolkit::WideToUtf8(text) + "\n";
    for (HWND box : OwnedHosts(main)) {
      // The popups are owned windows too, but no boxes.
      bool popup = false;
      for (toolkit::SHostWnd* p : {popups.AudioWindow(), popups.CameraWindow()})
        popup = popup || (p && reinterpret_cast<HWND>(p->GetHwnd()) == box);
      if (!popup)
        dump += "modal " + ScreenRect(box) + "\n";
    }
    dump += "end\n";
    WriteWhole(file, dump);
  });
  return figures;
}

}  // namespace kestrelrun
