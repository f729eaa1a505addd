// The driver's window (see demo_console_view.h); every call comes on the driver's main thread,
// which plays the UI thread.
#include "demo_console_view.h"

#include <cstdio>

#include "app/detect_rules.h"
#include "demo_network.h"
#include "demo_print.h"
#include "demo_probes.h"

namespace {

constexpr const char* kPageNames[] = {"start page", "detecting page", "results page",
                                      "agreement page", "no-network page"};

}  // namespace

void ConsoleWindow::ShowMainPage(int page) {
  page_ = page;
  if (page >= 0 && page < 5) {
    std::printf("  [window] %s\n", kPageNames[page]);
  }
}

void ConsoleWindow::SetStatusLabel(const std::wstring& text) {
  // A step's own status is announced with its call; the others are shown here.
  for (const kestrelrun::DetectStep& step : kestrelrun::kDetectSteps) {
    if (text == step.status) {
      return;
    }
  }
  if (!text.empty()) {
    std::printf("  status: %s\n", WideToUtf8(text).c_str());
  }
}

void ConsoleWindow::SetScoreLabel(const std::wstring& text) {
  std::printf("  [window] score %s\n", WideToUtf8(text).c_str());
}

void ConsoleWindow::SetProblemCountLabel(const std::wstring& text) {
  std::printf("  [window] %s problems\n", WideToUtf8(text).c_str());
}

void ConsoleWindow::ShowMessage(const std::wstring& text) {
  std::printf("  [window] message box \"%s\"\n", WideToUtf8(text).c_str());
}

void ConsoleWindow::ShowAudioPopup() {
  AnnounceStep(1);
}

void ConsoleWindow::StartMicrophoneTest() {
  verdict_ = MicrophoneVerdict();
}

void ConsoleWindow::LoadCameras() {
  AnnounceStep(2);
  verdict_ = -1;
}

void ConsoleWindow::ShowVideoPopup() {
  verdict_ = CameraVerdict();
}

void ConsoleWindow::ShowDnsProgress() {
  dnsBoxShown_ = true;
  std::printf("  [window] DNS progress box\n");
}

void ConsoleWindow::OpenUrl(const std::wstring& address) {
  std::printf("  [browser] %s\n", WideToUtf8(address).c_str());
}

void ConsoleWindow::Line(const std::wstring& text) {
  std::printf("  [log] %s\n", WideToUtf8(text).c_str());
}
