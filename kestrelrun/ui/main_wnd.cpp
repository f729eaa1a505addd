#include "ui/main_wnd.h"

#include <chrono>

#include "kestrel_endpoints.h"
#include "toolkit/controls.h"
#include "ui/secondary_windows.h"

namespace kestrelrun {
namespace {

constexpr unsigned kDevelopmentTimer = 0x6B00;
constexpr int kVersionNewer = 202;
// How long the hidden window waits at exit for a DNS change under way: its netsh commands and
// the report of the change that follows them.
constexpr std::chrono::seconds kDnsChangeAtExit{60};

constexpr const wchar_t* kCaption = L"提示";
constexpr const wchar_t* kAlreadyRunning = L"程序已经在运行！";
constexpr const wchar_t* kNewVersion = L"检测到当前工具有新的版本更新，请下载最新版本使用。";
constexpr const wchar_t* kConfirmExit = L"正在检测中,确认退出吗？";

enum MainPage { kStartPage = 0, kResultsPage = 2, kAgreementPage = 3, kNoNetworkPage = 4 };

// Where the keyboard focus goes when a page comes up: its main action.
const wchar_t* PageAction(int page) {
  switch (page) {
    case kStartPage:
      return L"btn_sys_run";
    case kResultsPage:
      return L"btn_sys_look";
    case kNoNetworkPage:
      return L"btn_sys_retry";
    default:
      return nullptr;
  }
}

// The first control of that name that can be seen (each page repeats the caption's buttons).
bool InTree(const toolkit::SWindow* root, const toolkit::SWindow* window) {
  for (; window; window = window->GetParent()) {
    if (window == root)
      return true;
  }
  return false;
}

toolkit::SWindow* FindShown(toolkit::SWindow* window, const std::wstring& name) {
  if (!window || !window->IsVisible())
    return nullptr;
  if (window->GetName() == name)
    return window;
  for (size_t i = 0; i < window->GetChildrenCount(); ++i) {
    if (toolkit::SWindow* found = FindShown(window->GetChild(i), name))
      return found;
  }
  return nullptr;
}

}  // namespace

std::wstring HelpPageAddress() {
  std::string host = kestrel::endpoints::kHelpHost;
  return L"http://" + std::wstring(host.begin(), host.end()) + L"/detail/dc_188984.html";
}

class CMainWnd::AudioSlot : public IAudioTestPopup {
 public:
  explicit AudioSlot(CMainWnd& owner) : owner_(owner) {}
  int MicrophoneCount() override { return Target().MicrophoneCount(); }
  int SpeakerCount() override { return Target().SpeakerCount(); }
  int Verdict() override { return Target().Verdict(); }
  void SetVerdict(int verdict) override { Target().SetVerdict(verdict); }
  void SetInitState(int state) override { Target().SetInitState(state); }
  void EnterNoDeviceState() override { Target().EnterNoDeviceState(); }
  void StartMicrophoneTest() override { Target().StartMicrophoneTest(); }

 private:
  IAudioTestPopup& Target() { return owner_.Popups().Audio(); }
  CMainWnd& owner_;
};

class CMainWnd::CameraSlot : public ICameraTestPopup {
 public:
  explicit CameraSlot(CMainWnd& owner) : owner_(owner) {}
  void LoadCameras() override { Target().LoadCameras(); }
  int CameraIndex() override { return Target().CameraIndex(); }
  int Verdict() override { return Target().Verdict(); }

 private:
  ICameraTestPopup& Target() { return owner_.Popups().Camera(); }
  CMainWnd& owner_;
};

CMainWnd::CMainWnd(toolkit::SApplication& app, Parts parts)
    : SHostWnd(app.Context(), L"LAYOUT:XML_MAINWND"),
      app_(app),
      services_(parts.services),
      probes_(std::move(parts.probes)),
      popupsFactory_(std::move(parts.popups)),
      audioSlot_(std::make_unique<AudioSlot>(*this)),
      cameraSlot_(std::make_unique<CameraSlot>(*this)),
      presence_(std::make_shared<PresenceTarget>()) {
  // The controller's queue wakes the UI thread through a posted message, which runs what the
  // worker asked of the windows.
  auto wake = services_.MakeUiWake([this, alive = std::weak_ptr<bool>(alive_)] {
    if (alive.lock() && controller_)
      controller_->RunUiTasks();
  });
  controller_ = std::make_unique<CDetectSequence>(probes_, *this, *audioSlot_, *cameraSlot_,
                                                  parts.log, std::move(wake), parts.timing);
  presence_->controller = controller_.get();
}

CMainWnd::~CMainWnd() {
  // A window that was never destroyed through the message loop still shuts down in order.
  DestroyWindow();
  alive_.reset();  // a wake message still queued finds no window
  popups_.reset();
}

IDevicePopups& CMainWnd::Popups() {
  if (popups_)
    return *popups_;
  return absent_;
}

void CMainWnd::SetDevelopmentHook(unsigned periodMs, std::function<void()> hook) {
  developmentHook_ = std::move(hook);
  if (developmentHook_)
    SetTimer(kDevelopmentTimer, periodMs);
  else
    KillTimer(kDevelopmentTimer);
}

// The single-instance claim and everything the window needs to show come first; the presence
// check, the version check, NetProbe's set-up and the device identity (a wmic process, seconds
// on a slow machine) follow on threads of their own, started once the window has painted, so
// that it paints and answers at once. Until they are done the start button stays disabled and a
// close request waits for them (the exit statistic carries the identity); a newer version still
// ends the process from there.
bool CMainWnd::OnInitDialog() {
  SetWindowTitle(L"Lessora");
  if (services_.AnotherInstanceRuns()) {
    MessageBox(kAlreadyRunning, toolkit::kMessageBoxOk);
    services_.ExitProcess(0);
    return false;
  }
  agreementAccepted_ = true;
  agreementShown_ = false;
  // A timer's message comes after the first paint's: its first tick starts the work.
  SetTimer(kStartupTimer, kStartupPollMs);
  SetTimer(kRefreshTimer, kRefreshMs);
  SetTimer(kFlashTimer, kFlashMs);
  detectThread_.Create(controller_->WorkerCallback());
  detectThread_.SetRun(true);
  SetAgreementAccepted(true);
  // The keyboard starts on the start button (its mark shows once a key is pressed); the button
  // is enabled once the start-up work is done.
  if (toolkit::SWindow* run = FindShown(GetRoot(), L"btn_sys_run"))
    run->SetFocus();
  initialised_ = true;
  return true;
}

// One presence check on a thread of its own; its answer goes to the controller unless the
// window has gone meanwhile.
void CMainWnd::StartPresenceCheck() {
  auto probes = probes_;
  auto target = presence_;
  presenceThread_.Create([probes, target] {
    bool up = probes->GetNetworkState() != 0;
    std::lock_guard<std::mutex> hold(target->lock);
    if (target->controller)
      target->controller->SetNetworkUp(up);
    return false;
  });
  presenceThread_.SetRun(true);
}

void CMainWnd::StartStartupWork() {
  IProgramServices& services = services_;
  auto result = startup_;
  startupThread_.Create([&services, result] {
    if (services.VersionGet() == kVersionNewer) {
      result->state = StartupResult::kNewerVersion;
      return false;
    }
    services.InitDll();
    services.ReadDeviceInfo();
    result->state = StartupResult::kReady;
    return false;
  });
  startupThread_.SetRun(true);
}

void CMainWnd::StartupTick() {
  if (!workStarted_) {
    workStarted_ = true;
    StartPresenceCheck();
    StartStartupWork();
    return;
  }
  int state = startup_->state.load();
  if (state == StartupResult::kPending)
    return;
  KillTimer(kStartupTimer);
  if (state == StartupResult::kNewerVersion) {
    MessageBox(kNewVersion, toolkit::kMessageBoxOk);
    services_.OpenToolDownUrl();
    services_.ExitProcess(0);
    Abandon();  // reached only when the exit above returns (a test's services)
    return;
  }
  // The popups list the devices through MicProbe and CamProbe: made once the window has shown.
  if (popupsFactory_)
    popups_ = popupsFactory_(*this);
  startupDone_ = true;
  SetAgreementAccepted(agreementAccepted_);
  if (closePending_) {
    closePending_ = false;
    CloseRequest();
  }
}

// The window of a process that ends at once: nothing of the libraries was set up, so the
// shutdown has nothing to release.
void CMainWnd::Abandon() {
  controller_->Close();
  detectThread_.Stop(0);
  KillTimer(kRefreshTimer);
  KillTimer(kFlashTimer);
  initialised_ = false;
}

void CMainWnd::OnDestroy() {
  if (!initialised_)
    return;
  initialised_ = false;
  {
    std::lock_guard<std::mutex> hold(presence_->lock);
    presence_->controller = nullptr;
  }
  // The worker is cut off, not waited for: a step still inside NetProbe finishes on its own. A
  // DNS change is waited for: ended between its commands, it would leave the adapter half set.
  controller_->Close();
  detectThread_.Stop(0);
  controller_->AwaitDnsChange(kDnsChangeAtExit);
  // Asked first: a stopped thread counts as ended. Destroyed before the work started, the window
  // has set up nothing of the libraries to release.
  bool startupEnded = workStarted_ && startupThread_.Ended();
  startupThread_.Stop(0);
  KillTimer(kRefreshTimer);
  KillTimer(kFlashTimer);
  KillTimer(kStartupTimer);
  KillTimer(kDevelopmentTimer);
  // Releasing NetProbe under a probe still running in it, or the identity under the start-up
  // thread still filling it, would pull them away mid-call; the process's end frees them then.
  if (controller_->ProbesIdle() && startupEnded)
    services_.ReleaseDllRes();
  if (startupEnded)
    services_.FreeDeviceInfo();
  services_.EndTesterProcesses();
}

void CMainWnd::CloseRequest() {
  if (initialised_ && !startupDone_) {
    closePending_ = true;  // carried out when the identity is there (StartupTick)
    return;
  }
  if (controller_->State().running &&
      MessageBox(kConfirmExit, toolkit::kMessageBoxOkCancel) != toolkit::kDialogOk)
    return;
  services_.SendExitStatistic();
  app_.Quit(0);
}

bool CMainWnd::OnClose() {
  CloseRequest();
  return false;  // the window goes once the message loop has ended
}

void CMainWnd::OnTimerEvent(unsigned id) {
  if (id == kRefreshTimer)
    controller_->RefreshTick();
  else if (id == kFlashTimer)
    controller_->FlashTick();
  else if (id == kStartupTimer)
    StartupTick();
  else if (id == kDevelopmentTimer && developmentHook_)
    developmentHook_();
}

void CMainWnd::OnLButtonDown(toolkit::PointF at) {
  toolkit::SWindow* menu = FindChildByName(L"win_main_tips");
  if (!menu || !menu->IsVisible())
    return;
  toolkit::RectF r = menu->GetWindowRect();
  bool inside = at.x >= r.x && at.x < r.x + r.w && at.y >= r.y && at.y < r.y + r.h;
  if (!inside)
    ShowMoreMenu(false);
}

void CMainWnd::_HandleEvent(toolkit::EventArgs* evt) {
  if (evt->GetID() != toolkit::EVT_CMD)
    return;
  const std::wstring& name = evt->nameFrom;
  // Handled events stop here; every other one goes to the toolkit's default handling.
  bool handled = true;
  if (name == L"btn_sys_close") {
    CloseRequest();
  } else if (name == L"btn_sys_min") {
    Minimize();
  } else if (name == L"btn_sys_abort") {
    ShowMoreMenu(true);
  } else if (name == L"btn_more_about") {
    ShowMoreMenu(false);
    CPopAbort about(app_.Context());
    openDialog_ = &about;
    about.DoModal(this);
    openDialog_ = nullptr;
  } else if (name == L"btn_more_help") {
    ShowMoreMenu(false);
    services_.OpenUrl(HelpPageAddress());
  } else if (name == L"btn_sys_run") {
    if (startupDone_)
      controller_->Start();
  } else if (name == L"btn_sys_agreement") {
    ToggleAgreementShown();
  } else if (name == L"btn_agreement_close") {
    agreementShown_ = false;
    ShowMainPage(kStartPage);
  } else if (name == L"checkbox_sys_agreement" || name == L"checkbox_sys_agreement_2") {
    SetAgreementAccepted(!agreementAccepted_);
  } else if (name == L"btn_sys_feedback") {
    services_.OpenFeedback();
  } else if (name == L"btn_sys_retry") {
    Retry();
  } else if (name == L"btn_sys_back" || name == L"btn_sys_back2") {
    controller_->Reset();
    ShowMainPage(kStartPage);
  } else if (name == L"btn_sys_look" || name == L"btn_item_suggest_1" ||
             name == L"btn_item_suggest_2") {
    controller_->OpenReportPage();
  } else if (name == L"btn_item_suggest_3") {
    controller_->OnNetworkSuggestion();
  } else {
    handled = false;
  }
  if (handled)
    ++evt->handled;
}

bool CMainWnd::OnKeyEvent(const toolkit::KeyEvent& key) {
  if (SHostWnd::OnKeyEvent(key))
    return true;
  if (key.key != toolkit::Key::kEscape)
    return false;
  // Esc closes what lies over the page: the more menu, else the agreement panel.
  toolkit::SWindow* menu = FindChildByName(L"win_main_tips");
  if (menu && menu->IsVisible()) {
    ShowMoreMenu(false);
    if (toolkit::SWindow* more = FindShown(GetRoot(), L"btn_sys_abort"))
      more->SetFocus();
    return true;
  }
  if (agreementShown_) {
    agreementShown_ = false;
    ShowMainPage(kStartPage);
    return true;
  }
  return false;
}

void CMainWnd::ShowMoreMenu(bool show) {
  toolkit::SWindow* menu = FindChildByName(L"win_main_tips");
  if (menu)
    menu->SetAttribute(L"show", show ? L"1" : L"0");
  // Opened from the keyboard, the menu takes the focus so that its items come next.
  if (show && menu) {
    if (toolkit::SWindow* first = menu->FindChildByName(L"btn_more_about"))
      first->SetFocus();
  }
  // The more button's tip would lie over the menu's first item and take its click.
  if (show && GetNative())
    GetNative()->HideTooltip();
}

void CMainWnd::ToggleAgreementShown() {
  agreementShown_ = !agreementShown_;
  if (!agreementShown_) {
    ShowMainPage(kStartPage);
    return;
  }
  ShowMainPage(kAgreementPage);
  if (toolkit::SWindow* text = FindChildByName(L"agreement_edit"))
    text->SetFocus();
}

void CMainWnd::SetAgreementAccepted(bool accepted) {
  agreementAccepted_ = accepted;
  for (const wchar_t* name : {L"checkbox_sys_agreement", L"checkbox_sys_agreement_2"}) {
    if (toolkit::SWindow* box = FindChildByName(name))
      box->SetCheck(accepted);
  }
  if (toolkit::SWindow* run = FindChildByName(L"btn_sys_run"))
    run->EnableWindow(accepted && startupDone_);
}

void CMainWnd::Retry() {
  controller_->SetNetworkUp(probes_->GetNetworkState() != 0);
  controller_->Reset();
  ShowMainPage(kStartPage);
}

int CMainWnd::MessageBox(const std::wstring& text, int type) {
  openBoxes_.push_back(text);
  int code = toolkit::SMessageBox(this, text, kCaption, type);
  openBoxes_.pop_back();
  return code;
}

// --- IDetectView ---

void CMainWnd::ShowMainPage(int page) {
  auto* tab = FindChildByName2<toolkit::STabCtrl>(L"tab_main_op");
  if (!tab)
    return;
  toolkit::SWindow* focus = GetFocus();
  bool onPages = !focus || InTree(tab, focus);
  tab->SetCurSel(page);
  // The focus follows to the new page's main action, unless the user has it elsewhere (the
  // more menu).
  const wchar_t* action = PageAction(page);
  toolkit::SWindow* target = action ? FindShown(tab, action) : nullptr;
  if (onPages && target && !target->IsDisabled(true))
    target->SetFocus();
}

void CMainWnd::SetCardPage(const std::wstring& card, int page) {
  if (auto* tab = FindChildByName2<toolkit::STabCtrl>(card))
    tab->SetCurSel(page);
}

void CMainWnd::SetProgressBar(int value) {
  if (auto* bar = FindChildByName2<toolkit::SProgress>(L"pro_main_detect"))
    bar->SetValue(value);
}

void CMainWnd::SetStatusLabel(const std::wstring& text) {
  if (toolkit::SWindow* label = FindChildByName(L"detect_pro_showinfo_1"))
    label->SetWindowText(text);
}

void CMainWnd::SetScoreLabel(const std::wstring& text) {
  if (toolkit::SWindow* label = FindChildByName(L"detect_pro_info_2"))
    label->SetWindowText(text);
}

void CMainWnd::SetProblemCountLabel(const std::wstring& text) {
  if (toolkit::SWindow* label = FindChildByName(L"detect_pro_info_1"))
    label->SetWindowText(text);
}

void CMainWnd::SetIcon(const std::wstring& name, const std::wstring& skin) {
  if (toolkit::SWindow* picture = FindChildByName(name))
    picture->SetAttribute(L"skin", skin);
}

namespace {

// Control `control` among the children of page `page` of tab control `card`; null when absent.
toolkit::SWindow* CardControl(const toolkit::SHostWnd& host, const std::wstring& card, int page,
                              const std::wstring& control) {
  auto* tab = host.FindChildByName2<toolkit::STabCtrl>(card);
  toolkit::STabPage* item = tab ? tab->GetItem(page) : nullptr;
  return item ? item->FindChildByName(control) : nullptr;
}

}  // namespace

void CMainWnd::SetCardText(const std::wstring& card, int page, const std::wstring& control,
                           const std::wstring& text) {
  if (toolkit::SWindow* found = CardControl(*this, card, page, control))
    found->SetWindowText(text);
}

void CMainWnd::SetCardAttribute(const std::wstring& card, int page, const std::wstring& control,
                                const std::wstring& attribute, const std::wstring& value) {
  if (toolkit::SWindow* found = CardControl(*this, card, page, control))
    found->SetAttribute(attribute, value);
}

void CMainWnd::ShowMessage(const std::wstring& text) {
  MessageBox(text, toolkit::kMessageBoxOk);
}

void CMainWnd::ShowAudioPopup() {
  Popups().ShowAudio();
}

void CMainWnd::ShowVideoPopup() {
  Popups().ShowCamera();
}

void CMainWnd::ShowDnsProgress() {
  CPopWndDNS box(app_.Context());
  openDialog_ = &box;
  box.DoModal(this);
  openDialog_ = nullptr;
}

void CMainWnd::OpenUrl(const std::wstring& address) {
  services_.OpenUrl(address);
}

bool CMainWnd::IsMinimised() {
  return services_.IsMinimised(GetHwnd());
}

void CMainWnd::SetTaskbarProgress(int state, int value, int total) {
  services_.SetTaskbarProgress(GetHwnd(), state, value, total);
}

}  // namespace kestrelrun
