// The popup host (development only): shows the audio or the camera test popup with the real
// MicProbe.dll, CamProbe.dll and NetProbe.dll, the way the program's detection steps do, for
// looking at it, photographing it and driving it with real clicks (its Wine test). It writes
// the popup's state to a file as it changes.
//
//   popuphost [--video] [--dump FILE] [--exit-after MS] [--no-start] [--high-contrast]
// --high-contrast draws as under a high-contrast theme, with the system colours as they are.

// The toolkit's headers come before <windows.h>: its dialog codes share names with Win32 macros.
#include "audio/audio_popup.h"
#include "controls/monitor_area_win32.h"
#include "controls/wave_bars.h"
#include "platform_win32.h"
#include "popup_registration.h"
#include "toolkit/application.h"
#include "toolkit/controls.h"
#include "video/video_popup.h"

#include "windows_base.h"
// The controls' own GetWindowText, not the Win32 macro.
#undef GetWindowText

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include <pugixml.hpp>

#include "NetProbe.h"
#include "kestrel/codepage.h"

namespace {

using toolkit::WideToUtf8;

struct Options {
  bool video = false;
  bool start = true;
  bool highContrast = false;
  std::wstring dumpPath;
  int exitAfterMs = 0;
};

// Wall-clock milliseconds since 1970, to line up with the sound server's clock.
double NowMs() {
  FILETIME t;
  GetSystemTimePreciseAsFileTime(&t);
  std::uint64_t ticks = (static_cast<std::uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
  return static_cast<double>(ticks - 116444736000000000ULL) / 10000.0;
}

// NetProbe's result exports, with each call logged.
class LoggedResults : public popups::IDeviceTestResults {
 public:
  std::vector<std::string> lines;
  int SetMicrophoneTestResult(int verdict) override {
    int r = popups::NetProbeResults().SetMicrophoneTestResult(verdict);
    lines.push_back("SetMicrophoneTestResult " + std::to_string(verdict) + " -> " +
                    std::to_string(r));
    return r;
  }
  int SetCameraTestResult(int verdict) override {
    int r = popups::NetProbeResults().SetCameraTestResult(verdict);
    lines.push_back("SetCameraTestResult " + std::to_string(verdict) + " -> " + std::to_string(r));
    return r;
  }
};

// MicProbe's exports, with the device switches logged and each block's arrival timed.
class LoggedAudio : public popups::IAudioLibrary {
 public:
  popups::IAudioLibrary& real = popups::MicProbeLibrary();
  std::vector<std::string> lines;
  int SetMicrophoneTestDrawWaveCallBack(DrawWaveCallback callback, void* context) override {
    return real.SetMicrophoneTestDrawWaveCallBack(callback, context);
  }
  int GetLocalMicrophone(AudioDeviceMap** d) override { return real.GetLocalMicrophone(d); }
  int GetLocalSystemSpeaker(AudioDeviceMap** d) override { return real.GetLocalSystemSpeaker(d); }
  int GetMicrophoneVolumeRange(int* a, int* b) override {
    return real.GetMicrophoneVolumeRange(a, b);
  }
  int GetMicrophoneVolume(int* v) override { return real.GetMicrophoneVolume(v); }
  int SetMicrophoneVolume(int v) override {
    lines.push_back("SetMicrophoneVolume " + std::to_string(v));
    return real.SetMicrophoneVolume(v);
  }
  int GetSpeakerVolume(int* v) override { return real.GetSpeakerVolume(v); }
  int SetSpeakerVolume(int v) override {
    lines.push_back("SetSpeakerVolume " + std::to_string(v));
    return real.SetSpeakerVolume(v);
  }
  int StartTestMicrophone(ProbeError* e) override {
    int r = real.StartTestMicrophone(e);
    lines.push_back("StartTestMicrophone -> " + std::to_string(r));
    return r;
  }
  int StopTestMicrophone() override {
    lines.push_back("StopTestMicrophone");
    return real.StopTestMicrophone();
  }
  int SetSpecifiedIDMicrophone(const wchar_t* id, ProbeError* e) override {
    int r = real.SetSpecifiedIDMicrophone(id, e);
    lines.push_back("SetSpecifiedIDMicrophone " + WideToUtf8(id) + " -> " + std::to_string(r) +
                    " code " + std::to_string(e->code));
    return r;
  }
  int SetSpecifiedIDSystemSpeaker(const wchar_t* id, ProbeError* e) override {
    int r = real.SetSpecifiedIDSystemSpeaker(id, e);
    lines.push_back("SetSpecifiedIDSystemSpeaker " + WideToUtf8(id) + " -> " + std::to_string(r) +
                    " code " + std::to_string(e->code));
    return r;
  }
  void ReleaseMicDllRes() override { real.ReleaseMicDllRes(); }
};

// Times each block's arrival and each paint, for the delay and cost figures.
struct Timing {
  double firstLoudBlockMs = 0;  // wall clock of the first block reaching the threshold
  double firstLoudPaintMs = 0;  // wall clock of the first paint drawing such a bar
  int paints = 0;
  double paintTotalMs = 0, paintMaxMs = 0;
  // The tone's rising steps (amplitude 6000 to 12000): a block whose bars first reach the loud
  // height, and the first paint after it that draws them.
  int previousBlockTop = 0;
  double stepBlockMs = 0;  // pending step, 0 when none
  int steps = 0;
  double stepTotalMs = 0, stepMaxMs = 0;
};
Timing g_timing;
constexpr int kLoudBar = 30;  // pixels: a sample of about 3800
constexpr int kStepBar = 85;  // the tone's loud half gives 95, its quiet half 47
constexpr int kQuietBar = 70;

int TallestBar(const short* samples, int count) {
  int top = 0;
  for (int i = 0; i < std::min(count, popups::kWaveSamples); ++i)
    top = std::max(top, std::abs(popups::BarHeight(samples[i])));
  return top;
}

// The audio popup with its paint and blocks timed.
class TimedAudioPopup : public popups::CPopWndAudio {
 public:
  using CPopWndAudio::CPopWndAudio;
  static int TimedCallback(short* samples, int count, void* context) {
    if (samples && count > 0 && g_timing.firstLoudBlockMs == 0) {
      for (int i = 0; i < std::min(count, popups::kWaveSamples); ++i) {
        if (std::abs(popups::BarHeight(samples[i])) >= kLoudBar) {
          g_timing.firstLoudBlockMs = NowMs();
          break;
        }
      }
    }
    if (samples && count > 0) {
      int top = TallestBar(samples, count);
      if (top >= kStepBar && g_timing.previousBlockTop < kQuietBar && g_timing.stepBlockMs == 0)
        g_timing.stepBlockMs = NowMs();
      g_timing.previousBlockTop = top;
    }
    return DrawWaveCallback(samples, count, context);
  }
  void OnPaint(toolkit::IRender& render, const toolkit::RectF& dirty) override {
    LARGE_INTEGER f, a, b;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&a);
    CPopWndAudio::OnPaint(render, dirty);
    QueryPerformanceCounter(&b);
    double ms =
        static_cast<double>(b.QuadPart - a.QuadPart) * 1000.0 / static_cast<double>(f.QuadPart);
    ++g_timing.paints;
    g_timing.paintTotalMs += ms;
    g_timing.paintMaxMs = std::max(g_timing.paintMaxMs, ms);
    if (g_timing.stepBlockMs != 0) {
      if (auto* animator = FindChildByName2<popups::SMicAudioAnimator>(L"AudioAnimator")) {
        int top = 0;
        for (int i = 0; i < popups::kDrawnBars; ++i)
          top = std::max(top, std::abs(animator->Bars()[i].height));
        if (top >= kStepBar) {
          double delay = NowMs() - g_timing.stepBlockMs;
          g_timing.stepBlockMs = 0;
          ++g_timing.steps;
          g_timing.stepTotalMs += delay;
          g_timing.stepMaxMs = std::max(g_timing.stepMaxMs, delay);
        }
      }
    }
    if (g_timing.firstLoudPaintMs == 0) {
      if (auto* animator = FindChildByName2<popups::SMicAudioAnimator>(L"AudioAnimator")) {
        for (int i = 0; i < popups::kDrawnBars; ++i) {
          if (std::abs(animator->Bars()[i].height) >= kLoudBar) {
            g_timing.firstLoudPaintMs = NowMs();
            break;
          }
        }
      }
    }
  }
};

std::string Line(const std::string& key, const std::wstring& value) {
  return key + " " + WideToUtf8(value) + "\n";
}

void WriteFileAtomically(const std::wstring& path, const std::string& text) {
  std::wstring temp = path + L".part";
  if (FILE* f = _wfopen(temp.c_str(), L"wb")) {
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
    MoveFileExW(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
  }
}

std::string WindowLine(const char* name, HWND hwnd) {
  RECT r{};
  if (!hwnd || !GetWindowRect(hwnd, &r) || !IsWindowVisible(hwnd))
    return std::string(name) + " hidden\n";
  return std::string(name) + " " + std::to_string(r.left) + " " + std::to_string(r.top) + " " +
         std::to_string(r.right - r.left) + " " + std::to_string(r.bottom - r.top) + "\n";
}

// The popup's state, one fact a line.
std::string Dump(toolkit::SHostWnd& popup, const std::vector<std::string>& calls,
                 const std::vector<std::string>& results, bool video) {
  namespace tk = toolkit;
  std::string out = WindowLine("window", reinterpret_cast<HWND>(popup.GetHwnd()));
  auto text = [&](const wchar_t* name) {
    tk::SWindow* c = popup.FindChildByName(name);
    return c ? c->GetWindowText() : std::wstring(L"(none)");
  };
  auto value = [&](const wchar_t* name) {
    auto* s = popup.FindChildByName2<tk::SSliderBar>(name);
    return s ? std::to_string(s->GetValue()) + (s->IsDisabled() ? " disabled" : "") : "(none)";
  };
  auto place = [&](const wchar_t* name) {
    tk::SWindow* c = popup.FindChildByName(name);
    if (!c)
      return std::string("(none)");
    tk::RectF r = c->GetWindowRect();
    return std::to_string(static_cast<int>(r.x)) + " " + std::to_string(static_cast<int>(r.y)) +
           " " + std::to_string(static_cast<int>(r.w)) + " " +
           std::to_string(static_cast<int>(r.h));
  };
  if (!video) {
    auto& audio = static_cast<popups::CPopWndAudio&>(popup);
    out += "verdict " + std::to_string(audio.Verdict()) + "\n";
    out += "initState " + std::to_string(audio.InitState()) + "\n";
    for (const auto& d : audio.MicDevices())
      out += "mic " + WideToUtf8(d.name) + "\t" + WideToUtf8(d.id) + "\n";
    for (const auto& d : audio.SpeakerDevices())
      out += "speaker " + WideToUtf8(d.name) + "\t" + WideToUtf8(d.id) + "\n";
    out += Line("micEdit", text(L"popwnd_audio_edit_input_1"));
    out += Line("speakerEdit", text(L"popwnd_audio_edit_input_2"));
    out += "micSlider " + value(L"slider_audio") + "\n";
    out += "speakerSlider " + value(L"slider_speaker") + "\n";
    for (const wchar_t* name :
         {L"btn_popwnd_audio_close", L"btn_popwnd_audio_error", L"btn_popwnd_audio_work",
          L"btn_popwnd_audio_dropdown_1", L"btn_popwnd_audio_dropdown_2", L"slider_audio",
          L"slider_speaker", L"AudioAnimator"})
      out += "at " + WideToUtf8(name) + " " + place(name) + "\n";
    if (auto* animator = popup.FindChildByName2<popups::SMicAudioAnimator>(L"AudioAnimator")) {
      out += "bars";
      for (int i = 0; i < popups::kDrawnBars; ++i)
        out += " " + std::to_string(animator->Bars()[i].height);
      out += "\nrepaints " + std::to_string(animator->GetRepaintRequests()) + "\n";
    }
    char timing[400];
    std::snprintf(timing, sizeof timing,
                  "firstLoudBlock %.1f\nfirstLoudPaint %.1f\npaints %d\npaintMeanMs %.3f\n"
                  "paintMaxMs %.3f\nsteps %d\nstepToPaintMeanMs %.1f\nstepToPaintMaxMs %.1f\n",
                  g_timing.firstLoudBlockMs, g_timing.firstLoudPaintMs, g_timing.paints,
                  g_timing.paints ? g_timing.paintTotalMs / g_timing.paints : 0.0,
                  g_timing.paintMaxMs, g_timing.steps,
                  g_timing.steps ? g_timing.stepTotalMs / g_timing.steps : 0.0, g_timing.stepMaxMs);
    out += timing;
  } else {
    auto& cam = static_cast<popups::CPopWndVideo&>(popup);
    out += "verdict " + std::to_string(cam.Verdict()) + "\n";
    out += "cameraIndex " + std::to_string(cam.CameraIndex()) + "\n";
    for (const auto& item : cam.CameraItems())
      out += "camera " + std::to_string(item.value) + " " + WideToUtf8(item.text) + "\n";
    out += Line("cameraEdit", text(L"edit_input_2"));
    if (auto* tab = popup.FindChildByName2<tk::STabCtrl>(L"tab_video_op"))
      out += "page " + std::to_string(tab->GetCurSel()) + "\n";
    for (const wchar_t* name :
         {L"btn_popwnd_video_close", L"btn_popwnd_video_error", L"btn_popwnd_video_work",
          L"btn_popwnd_video_open", L"btn_popwnd_video_dropdown"})
      out += "at " + WideToUtf8(name) + " " + place(name) + "\n";
    out += WindowLine("video", reinterpret_cast<HWND>(cam.VideoWindow()));
  }
  HWND drop = nullptr;
  for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT)) {
    if (GetWindow(w, GW_OWNER) == reinterpret_cast<HWND>(popup.GetHwnd()) && IsWindowVisible(w) &&
        (GetWindowLongW(w, GWL_EXSTYLE) & WS_EX_TOOLWINDOW)) {
      drop = w;
      break;
    }
  }
  out += WindowLine("dropdown", drop);
  for (const auto& c : calls)
    out += "call " + c + "\n";
  for (const auto& r : results)
    out += "result " + r + "\n";
  return out;
}

constexpr unsigned kDumpTimer = 0x7A01;
constexpr unsigned kExitTimer = 0x7A02;

template <class Popup>
class Hosted : public Popup {
 public:
  template <class... Args>
  Hosted(toolkit::SApplication& app, const Options& options, std::vector<std::string>* calls,
         LoggedResults* results, Args&&... args)
      : Popup(app.Context(), std::forward<Args>(args)...),
        app_(app),
        options_(options),
        calls_(calls),
        results_(results) {}
  void WriteDump() {
    if (!options_.dumpPath.empty())
      WriteFileAtomically(options_.dumpPath,
                          Dump(*this, calls_ ? *calls_ : std::vector<std::string>{},
                               results_->lines, options_.video));
  }

 protected:
  bool OnInitDialog() override {
    bool r = Popup::OnInitDialog();
    this->SetTimer(kDumpTimer, 200);
    if (options_.exitAfterMs > 0)
      this->SetTimer(kExitTimer, static_cast<unsigned>(options_.exitAfterMs));
    return r;
  }
  void OnTimerEvent(unsigned id) override {
    if (id == kDumpTimer)
      WriteDump();
    else if (id == kExitTimer)
      app_.Quit(0);
    else
      Popup::OnTimerEvent(id);
  }

 private:
  toolkit::SApplication& app_;
  const Options& options_;
  std::vector<std::string>* calls_;
  LoggedResults* results_;
};

int Run(const Options& options) {
  toolkit::Win32Platform platform;
  platform.ForceHighContrast(options.highContrast);
  toolkit::SApplication app(&platform);
  popups::CRealWndHandler realWnds;
  toolkit::UiContext& ui = app.Context();
  popups::RegisterPopupControls(ui, &popups::MonitorArea(), &realWnds);
  ui.AddResProvider(std::make_unique<toolkit::Win32ResProvider>(platform.Scale()));
  pugi::xml_document box;
  if (ui.LoadXmlDocment(box, L"LAYOUT:XML_MSGBOX"))
    ui.SetMsgTemplate(box.first_child());
  auto codePage = kestrel::MakeSystemCodePage();
  LoggedResults results;
  ProbeError initError;
  InitDll(&initError);

  if (options.video) {
    Hosted<popups::CPopWndVideo> popup(app, options, nullptr, &results, popups::CamProbeLibrary(),
                                       results, *codePage);
    if (!popup.Create(nullptr, toolkit::NativeWindowKind::kDialog))
      return 2;
    popup.LoadCameras();
    popup.ShowVideoPopup();
    int code = app.Run(&popup);
    popup.WriteDump();
    return code;
  }
  LoggedAudio audio;
  Hosted<TimedAudioPopup> popup(app, options, &audio.lines, &results, audio, results, *codePage);
  if (!popup.Create(nullptr, toolkit::NativeWindowKind::kDialog))
    return 2;
  popup.LoadAudioDevices();
  audio.SetMicrophoneTestDrawWaveCallBack(&TimedAudioPopup::TimedCallback, &popup);
  popup.StartMessageTimer();
  popup.ShowPopup();
  if (options.start && popup.MicrophoneCount() > 0 && popup.SpeakerCount() > 0)
    popup.StartMicrophoneTest();
  else
    popup.EnterNoDeviceState();
  int code = app.Run(&popup);
  popup.WriteDump();
  return code;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  Options options;
  for (int i = 1; i < argc; ++i) {
    std::wstring a = argv[i];
    if (a == L"--video")
      options.video = true;
    else if (a == L"--no-start")
      options.start = false;
    else if (a == L"--high-contrast")
      options.highContrast = true;
    else if (a == L"--dump" && i + 1 < argc)
      options.dumpPath = argv[++i];
    else if (a == L"--exit-after" && i + 1 < argc)
      options.exitAfterMs = _wtoi(argv[++i]);
    else {
      std::fprintf(stderr,
                   "usage: popuphost [--video] [--dump FILE] [--exit-after MS] "
                   "[--no-start] [--high-contrast]\n");
      return 2;
    }
  }
  return Run(options);
}
