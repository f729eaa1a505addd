// The driver's window: the controller's view, popups and log on the console. It prints what the
// program's window would show that matters for a run (pages, message boxes, the score, the
// problem count, the DNS box, the browser) and answers the device popups with the stand-in
// testers' verdicts, as the user would with the popups' buttons.
#pragma once

#include <string>

#include "app/detect_view.h"

class ConsoleWindow : public kestrelrun::IDetectView,
                      public kestrelrun::IAudioTestPopup,
                      public kestrelrun::ICameraTestPopup,
                      public kestrelrun::IDetectLog {
 public:
  void ShowMainPage(int page) override;
  void SetCardPage(const std::wstring&, int) override {}
  void SetProgressBar(int) override {}
  void SetStatusLabel(const std::wstring& text) override;
  void SetScoreLabel(const std::wstring& text) override;
  void SetProblemCountLabel(const std::wstring& text) override;
  void SetIcon(const std::wstring&, const std::wstring&) override {}
  void SetCardText(const std::wstring&, int, const std::wstring&, const std::wstring&) override {}
  void SetCardAttribute(const std::wstring&, int, const std::wstring&, const std::wstring&,
                        const std::wstring&) override {}
  void ShowMessage(const std::wstring& text) override;
  void ShowAudioPopup() override;
  void ShowVideoPopup() override;
  void ShowDnsProgress() override;
  void OpenUrl(const std::wstring& address) override;
  bool IsMinimised() override { return false; }
  void SetTaskbarProgress(int, int, int) override {}

  // The testers stand in for the devices: one microphone, one speaker, one camera.
  int MicrophoneCount() override { return 1; }
  int SpeakerCount() override { return 1; }
  int Verdict() override { return verdict_; }
  void SetVerdict(int verdict) override { verdict_ = verdict; }
  void SetInitState(int) override {}
  void EnterNoDeviceState() override {}
  void StartMicrophoneTest() override;
  void LoadCameras() override;
  int CameraIndex() override { return 0; }

  void Line(const std::wstring& text) override;

  // The main page shown last (-1 before any).
  int Page() const { return page_; }
  bool DnsBoxShown() const { return dnsBoxShown_; }

 private:
  int verdict_ = -1;
  int page_ = -1;
  bool dnsBoxShown_ = false;
};
