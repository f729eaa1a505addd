// CMainWnd: the program's one top-level window on "LAYOUT:XML_MAINWND". It routes every button
// to its action, carries out the detection controller's view operations with the toolkit, owns
// the controller, its worker and presence-check threads, the two timers and the device test
// popups, and runs the initialisation and the shutdown of the program around them.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "app/detect_probes.h"
#include "app/detect_sequence.h"
#include "app/detect_view.h"
#include "kestrel/event_thread.h"
#include "toolkit/application.h"
#include "toolkit/host.h"
#include "ui/device_popups.h"
#include "ui/program_services.h"

namespace kestrelrun {

class CMainWnd : public toolkit::SHostWnd, public IDetectView {
 public:
  static constexpr unsigned kRefreshTimer = 1;  // 40 ms: the controller's RefreshTick
  static constexpr unsigned kFlashTimer = 2;    // 500 ms: the controller's FlashTick
  static constexpr unsigned kRefreshMs = 40;
  static constexpr unsigned kFlashMs = 500;
  // How often the UI thread looks whether the start-up work (the version check, NetProbe's
  // set-up and the device identity, on a thread of their own) has finished. Its first tick
  // starts that work and the presence check: a timer's message never comes before a pending
  // paint, so the child processes and libraries they start do not compete with the first paint.
  static constexpr unsigned kStartupTimer = 0x6B01;
  static constexpr unsigned kStartupPollMs = 20;

  // Everything the window is built from; the services, probes, log and popup factory come from
  // the program entry (or a test).
  struct Parts {
    IProgramServices& services;
    std::shared_ptr<IDetectProbes> probes;
    IDetectLog& log;
    DevicePopupsFactory popups;  // empty: AbsentDevicePopups
    DetectTiming timing;
  };
  CMainWnd(toolkit::SApplication& app, Parts parts);
  ~CMainWnd() override;

  // The close request of the caption button and of the window's own close: asks first while a
  // run is in progress, then sends the exit statistic and ends the message loop.
  void CloseRequest();

  CDetectSequence& Controller() { return *controller_; }
  bool AgreementAccepted() const { return agreementAccepted_; }
  // Whether the start-up presence check has answered.
  bool PresenceChecked() const { return workStarted_ && presenceThread_.Ended(); }
  // Whether the start-up work has finished and the window is usable: the start button stays
  // disabled and a close request waits until then.
  bool StartupDone() const { return startupDone_; }
  // What the development state dump reads: the texts of the message boxes open now (innermost
  // last) and the dialog open now, if any.
  const std::vector<std::wstring>& OpenMessageBoxes() const { return openBoxes_; }
  toolkit::SHostWnd* OpenDialog() const { return openDialog_; }
  IDevicePopups& Popups();
  // Calls `hook` every `periodMs` on the UI thread (the development state dump), also while a
  // modal box is open.
  void SetDevelopmentHook(unsigned periodMs, std::function<void()> hook);

  // --- IDetectView ---
  void ShowMainPage(int page) override;
  void SetCardPage(const std::wstring& card, int page) override;
  void SetProgressBar(int value) override;
  void SetStatusLabel(const std::wstring& text) override;
  void SetScoreLabel(const std::wstring& text) override;
  void SetProblemCountLabel(const std::wstring& text) override;
  void SetIcon(const std::wstring& name, const std::wstring& skin) override;
  void SetCardText(const std::wstring& card, int page, const std::wstring& control,
                   const std::wstring& text) override;
  void SetCardAttribute(const std::wstring& card, int page, const std::wstring& control,
                        const std::wstring& attribute, const std::wstring& value) override;
  void ShowMessage(const std::wstring& text) override;
  void ShowAudioPopup() override;
  void ShowVideoPopup() override;
  void ShowDnsProgress() override;
  void OpenUrl(const std::wstring& address) override;
  bool IsMinimised() override;
  void SetTaskbarProgress(int state, int value, int total) override;

 protected:
  bool OnInitDialog() override;
  void OnLButtonDown(toolkit::PointF at) override;
  void OnTimerEvent(unsigned id) override;
  bool OnClose() override;
  void OnDestroy() override;
  void _HandleEvent(toolkit::EventArgs* evt) override;
  bool OnKeyEvent(const toolkit::KeyEvent& key) override;

 private:
  // The popups' operations as the controller sees them: the popups made at initialisation, or
  // the absent ones before that and without a factory.
  class AudioSlot;
  class CameraSlot;
  // Where the presence check's answer goes; cleared at shutdown, so that a check still running
  // then writes nowhere.
  struct PresenceTarget {
    std::mutex lock;
    CDetectSequence* controller = nullptr;
  };

  // What the start-up thread found; the UI thread reads it on its poll timer.
  struct StartupResult {
    enum { kPending, kReady, kNewerVersion };
    std::atomic<int> state{kPending};
  };

  void StartPresenceCheck();
  void StartStartupWork();
  void StartupTick();
  void Abandon();
  int MessageBox(const std::wstring& text, int type);
  void ShowMoreMenu(bool show);
  void ToggleAgreementShown();
  void SetAgreementAccepted(bool accepted);
  void Retry();

  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
  toolkit::SApplication& app_;
  IProgramServices& services_;
  std::shared_ptr<IDetectProbes> probes_;
  DevicePopupsFactory popupsFactory_;
  AbsentDevicePopups absent_;
  std::unique_ptr<AudioSlot> audioSlot_;
  std::unique_ptr<CameraSlot> cameraSlot_;
  std::unique_ptr<CDetectSequence> controller_;
  std::shared_ptr<PresenceTarget> presence_;
  kestrel::CEventThread detectThread_;
  kestrel::CEventThread presenceThread_;
  kestrel::CEventThread startupThread_;
  std::shared_ptr<StartupResult> startup_ = std::make_shared<StartupResult>();
  std::unique_ptr<IDevicePopups> popups_;
  bool agreementAccepted_ = true;
  bool agreementShown_ = false;
  bool initialised_ = false;
  bool workStarted_ = false;  // the presence check and the start-up work (StartupTick's first)
  bool startupDone_ = false;
  bool closePending_ = false;  // a close request made before the start-up work had finished
  std::vector<std::wstring> openBoxes_;
  toolkit::SHostWnd* openDialog_ = nullptr;
  std::function<void()> developmentHook_;
};

// The address of the help article on the help-article server.
std::wstring HelpPageAddress();

}  // namespace kestrelrun
