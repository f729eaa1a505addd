// The main window driven through the headless host with fake services and probes: the
// initialisation's early exits, the agreement gating, the more menu, the close request while
// idle and during a run, the no-network page, and the DNS progress box.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#if defined(__SANITIZE_ADDRESS__)
// The sanitizer's runtime has it; GCC ships no header for it.
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#elif defined(__GLIBC__)
#include <malloc.h>
#endif

#include <pugixml.hpp>

#include "fake_services.h"
#include "headless.h"
#include "program_resources.h"
#include "toolkit/controls.h"
#include "ui/main_wnd.h"
#include "ui/secondary_windows.h"

namespace kestrelrun {
namespace {

using testing::FakeProbes;
using testing::FakeServices;
using toolkit::headless::Checked;
using toolkit::headless::Click;
using toolkit::headless::ClickAt;
using toolkit::headless::Enabled;
using toolkit::headless::HeadlessPlatform;
using toolkit::headless::Page;
using toolkit::headless::Text;
using toolkit::headless::Visible;

class NullLog : public IDetectLog {
 public:
  void Line(const std::wstring&) override {}
};

// How long a test waits for the window's threads: generous, since on a busy machine a thread
// may wait seconds for a core; a wait that is met returns at once.
constexpr std::chrono::seconds kPatience{30};

bool Waiting(std::chrono::steady_clock::time_point since) {
  return std::chrono::steady_clock::now() - since < kPatience;
}

// Waits for `done`, pumping the UI tasks the worker posts.
template <class Done>
bool WaitFor(FakeServices& services, Done done) {
  for (auto since = std::chrono::steady_clock::now(); Waiting(since);) {
    services.PumpUi();
    if (done())
      return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}

class MainWndTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(toolkit::testing::AddProgramResources(app_.Context(), &error)) << error;
    pugi::xml_document box;
    ASSERT_TRUE(app_.Context().LoadXmlDocment(box, L"LAYOUT:XML_MSGBOX"));
    app_.Context().SetMsgTemplate(box.child("SOUI"));
    // Every message box opened is noted; the next action given answers it.
  }
  // Opens the window and, unless told otherwise, lets its start-up work finish.
  void Open(bool finishStartup = true) {
    window_ = std::make_unique<CMainWnd>(
        app_, CMainWnd::Parts{services_, probes_, log_, {}, DetectTiming{10, 5}});
    window_->Create();
    if (finishStartup)
      FinishStartup();
  }
  // Runs the start-up poll until the start-up thread's answer has been taken.
  bool FinishStartup() {
    for (auto since = std::chrono::steady_clock::now();
         Waiting(since) && HasTimer(CMainWnd::kStartupTimer);) {
      platform_.Advance(CMainWnd::kStartupPollMs);
      if (HasTimer(CMainWnd::kStartupTimer))
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return !HasTimer(CMainWnd::kStartupTimer);
  }
  // Answers the next message box by its button, noting its text.
  void AnswerBox(const wchar_t* button) {
    platform_.OnNextModal([this, button](toolkit::SHostWnd& box) {
      boxTexts_.push_back(Text(box, L"msgtext"));
      Click(box, button);
    });
  }
  bool HasTimer(unsigned id) { return platform_.WindowOf(*window_)->HasTimer(id); }

  HeadlessPlatform platform_;
  toolkit::SApplication app_{&platform_};
  FakeServices services_;
  std::shared_ptr<FakeProbes> probes_ = std::make_shared<FakeProbes>();
  NullLog log_;
  std::unique_ptr<CMainWnd> window_;
  std::vector<std::wstring> boxTexts_;
};

TEST_F(MainWndTest, InitialisationEndsEarlyForASecondInstanceOrANewerVersion) {
  const struct {
    const char* name;
    bool otherInstance;
    int version;
    const wchar_t* box;  // null: none
    bool exits, downloads, versionAsked, initDll;
  } cases[] = {
      {"first start", false, 0, nullptr, false, false, true, true},
      {"version server answers 200", false, 200, nullptr, false, false, true, true},
      {"second instance", true, 0, L"程序已经在运行！", true, false, false, false},
      {"newer version", false, 202, L"检测到当前工具有新的版本更新，请下载最新版本使用。", true,
       true, true, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    window_.reset();
    services_.Clear();
    services_.otherInstance = c.otherInstance;
    services_.version = c.version;
    boxTexts_.clear();
    AnswerBox(L"button1st");
    Open();
    EXPECT_EQ(boxTexts_.size(), c.box ? 1u : 0u);
    if (c.box && !boxTexts_.empty()) {
      EXPECT_EQ(boxTexts_[0], c.box);
    }
    EXPECT_EQ(services_.Called("exit 0"), c.exits);
    EXPECT_EQ(services_.Called("download"), c.downloads);
    EXPECT_EQ(services_.Called("version"), c.versionAsked);
    EXPECT_EQ(services_.Called("InitDll"), c.initDll);
    EXPECT_EQ(services_.Called("device"), c.initDll);
    EXPECT_EQ(HasTimer(CMainWnd::kRefreshTimer), c.initDll);
    EXPECT_EQ(HasTimer(CMainWnd::kFlashTimer), c.initDll);
    EXPECT_EQ(window_->StartupDone(), c.initDll);
    if (c.versionAsked) {  // the instance claim first; the version check before NetProbe
      EXPECT_EQ(services_.Position("instance"), 0);
      EXPECT_GT(services_.Position("version"), 0);
    }
    if (c.initDll) {
      EXPECT_GT(services_.Position("InitDll"), services_.Position("version"));
      EXPECT_GT(services_.Position("device"), services_.Position("InitDll"));
    }
    EXPECT_EQ(platform_.WindowOf(*window_)->Title(), L"Lessora");
    if (c.initDll) {
      EXPECT_TRUE(Checked(*window_, L"checkbox_sys_agreement"));
      EXPECT_TRUE(Enabled(*window_, L"btn_sys_run"));
    }
    window_.reset();
    // An early exit skips the shutdown: nothing of NetProbe is released.
    EXPECT_EQ(services_.Called("ReleaseDllRes") || services_.Called("end testers"), c.initDll);
  }
}

// The version check and the device identity run on the start-up thread: the window is there
// and answering while they take their time, the start button waits for them, a close request
// waits for the identity, and a newer version found after the window showed still ends it all.
TEST_F(MainWndTest, SlowStartUpWorkLeavesTheWindowAnsweringAndGatesStartAndClose) {
  const struct {
    const char* name;
    bool holdVersion, holdDevice;
    int version;
    bool closeEarly;  // the close button while the work is held
    bool usable;      // the start button works once the work is done
  } cases[] = {
      {"slow version check", true, false, 0, false, true},
      {"newer version after the window showed", true, false, 202, false, false},
      {"newer version, closed meanwhile", true, false, 202, true, false},
      {"slow identity", false, true, 0, false, true},
      // Last: the platform keeps the quit request it makes.
      {"slow identity, closed meanwhile", false, true, 0, true, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    window_.reset();
    services_.Clear();
    services_.version = c.version;
    services_.holdVersion = c.holdVersion;
    services_.holdDevice = c.holdDevice;
    boxTexts_.clear();
    Open(false);
    // Shown at once, timers running, the agreement ticked, but no run can start yet.
    EXPECT_EQ(platform_.WindowOf(*window_)->Title(), L"Lessora");
    EXPECT_TRUE(HasTimer(CMainWnd::kRefreshTimer));
    EXPECT_TRUE(Checked(*window_, L"checkbox_sys_agreement"));
    EXPECT_FALSE(Enabled(*window_, L"btn_sys_run"));
    platform_.Advance(10 * CMainWnd::kStartupPollMs);
    Click(*window_, L"btn_sys_run");
    EXPECT_FALSE(window_->Controller().State().running);
    EXPECT_FALSE(services_.Called("device"));
    // The window answers its other buttons meanwhile.
    ASSERT_TRUE(Click(*window_, L"btn_sys_agreement"));
    EXPECT_EQ(Page(*window_, L"tab_main_op"), 3);
    Click(*window_, L"btn_sys_agreement");
    if (c.closeEarly) {
      Click(*window_, L"btn_sys_close");
      EXPECT_FALSE(platform_.QuitRequested());
      EXPECT_FALSE(services_.Called("statistic"));  // it needs the identity
    }
    if (c.version == 202)
      AnswerBox(L"button1st");
    services_.Release();
    ASSERT_TRUE(FinishStartup());
    bool newer = c.version == 202;
    EXPECT_EQ(services_.Called("exit 0"), newer);
    EXPECT_EQ(services_.Called("download"), newer);
    EXPECT_EQ(services_.Called("InitDll"), !newer);
    EXPECT_EQ(services_.Called("device"), !newer);
    EXPECT_EQ(boxTexts_.size(), newer ? 1u : 0u);
    // A deferred close is carried out once the identity is there, with the statistic.
    EXPECT_EQ(services_.Called("statistic"), c.closeEarly && !newer);
    if (services_.Called("statistic")) {
      EXPECT_GT(services_.Position("statistic"), services_.Position("device"));
      EXPECT_TRUE(platform_.QuitRequested());
    }
    EXPECT_EQ(Enabled(*window_, L"btn_sys_run"), c.usable);
    if (c.usable) {
      ASSERT_TRUE(Click(*window_, L"btn_sys_run"));
      EXPECT_TRUE(window_->Controller().State().running);
    }
    window_.reset();
    EXPECT_EQ(services_.Called("ReleaseDllRes"), !newer);
  }
}

// Destroyed while the start-up thread is still inside the identity: the window goes at once
// and does not free the identity under it.
TEST_F(MainWndTest, DestroyedDuringTheStartUpWorkDoesNotWaitOrFreeUnderIt) {
  services_.holdDevice = true;
  Open(false);
  platform_.Advance(CMainWnd::kStartupPollMs);  // the first tick starts the work
  // then inside the identity
  for (auto since = std::chrono::steady_clock::now();
       Waiting(since) && !services_.Called("InitDll");)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  auto started = std::chrono::steady_clock::now();
  window_.reset();
  // A destruction that waited for the thread would never return: the identity is released below.
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));
  EXPECT_FALSE(services_.Called("free device"));
  EXPECT_FALSE(services_.Called("ReleaseDllRes"));
  services_.Release();
  for (auto since = std::chrono::steady_clock::now();
       Waiting(since) && !services_.Called("device");)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_TRUE(services_.Called("device"));
}

// The presence check and the start-up work begin at the start-up timer's first tick, which comes
// after the first paint: nothing of theirs runs during the window's creation, and a window
// destroyed before that tick releases nothing it never set up.
TEST_F(MainWndTest, TheStartUpWorkBeginsAtTheFirstTickAfterTheWindowShowed) {
  for (bool ticked : {false, true}) {
    SCOPED_TRACE(ticked ? "destroyed after the first tick" : "destroyed before it");
    window_.reset();
    services_.Clear();
    probes_->presenceChecks = 0;
    Open(false);
    EXPECT_FALSE(services_.Called("version"));
    EXPECT_EQ(probes_->presenceChecks, 0);
    EXPECT_FALSE(window_->PresenceChecked());
    EXPECT_TRUE(HasTimer(CMainWnd::kStartupTimer));
    if (ticked) {
      platform_.Advance(CMainWnd::kStartupPollMs);
      ASSERT_TRUE(FinishStartup());
      EXPECT_TRUE(services_.Called("device"));
      for (auto since = std::chrono::steady_clock::now();
           Waiting(since) && !window_->PresenceChecked();)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
      EXPECT_EQ(probes_->presenceChecks, 1);
    }
    window_.reset();
    EXPECT_EQ(services_.Called("ReleaseDllRes"), ticked);
    EXPECT_EQ(services_.Called("free device"), ticked);
    EXPECT_TRUE(services_.Called("end testers"));
  }
}

TEST_F(MainWndTest, TheAgreementBoxesGateTheStartButtonTogether) {
  Open();
  const struct {
    const wchar_t* click;
    int page;
    bool ticked;
  } steps[] = {
      {L"checkbox_sys_agreement", 0, false},  {L"checkbox_sys_agreement", 0, true},
      {L"btn_sys_agreement", 3, true},        {L"checkbox_sys_agreement_2", 3, false},
      {L"btn_sys_agreement", 0, false},       {L"btn_sys_agreement", 3, false},
      {L"checkbox_sys_agreement_2", 3, true}, {L"btn_agreement_close", 0, true},
      {L"btn_sys_agreement", 3, true},  // the panel's close reset the link's toggle
  };
  for (const auto& s : steps) {
    SCOPED_TRACE(toolkit::WideToUtf8(s.click));
    ASSERT_TRUE(Click(*window_, s.click));
    EXPECT_EQ(Page(*window_, L"tab_main_op"), s.page);
    EXPECT_EQ(window_->AgreementAccepted(), s.ticked);
    auto* first = window_->FindChildByName(L"checkbox_sys_agreement");
    auto* second = window_->FindChildByName(L"checkbox_sys_agreement_2");
    ASSERT_TRUE(first && second);
    EXPECT_EQ(first->IsChecked(), s.ticked);
    EXPECT_EQ(second->IsChecked(), s.ticked);
    EXPECT_EQ(!window_->FindChildByName(L"btn_sys_run")->IsDisabled(), s.ticked);
  }
  // Unticked, the start button cannot start a run.
  Click(*window_, L"btn_agreement_close");
  Click(*window_, L"checkbox_sys_agreement");
  Click(*window_, L"btn_sys_run");
  EXPECT_FALSE(window_->Controller().State().running);
  EXPECT_EQ(Page(*window_, L"tab_main_op"), 0);
}

TEST_F(MainWndTest, TheMoreMenuClosesOnAClickOutsideItsRectangle) {
  Open();
  toolkit::RectF menu = window_->FindChildByName(L"win_main_tips")->GetWindowRect();
  const struct {
    const char* name;
    toolkit::PointF at;
    bool staysOpen;
  } clicks[] = {
      {"inside, top left", {menu.x + 1, menu.y + 1}, true},
      {"inside, between the buttons", {menu.x + menu.w / 2, menu.y + 30.5f}, true},
      {"just right of it", {menu.x + menu.w + 1, menu.y + 10}, false},
      {"just below it", {menu.x + 10, menu.y + menu.h + 1}, false},
      {"on the start page", {100, 300}, false},
  };
  for (const auto& c : clicks) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(Click(*window_, L"btn_sys_abort"));
    ASSERT_TRUE(Visible(*window_, L"win_main_tips"));
    ClickAt(*window_, c.at);
    EXPECT_EQ(Visible(*window_, L"win_main_tips"), c.staysOpen);
  }
}

TEST_F(MainWndTest, TheMenuButtonsCloseItAndOpenHelpOrTheAboutBox) {
  Open();
  Click(*window_, L"btn_sys_abort");
  ASSERT_TRUE(Click(*window_, L"btn_more_help"));
  EXPECT_FALSE(Visible(*window_, L"win_main_tips"));
  ASSERT_EQ(services_.opened.size(), 1u);
  EXPECT_EQ(services_.opened[0], HelpPageAddress());
  EXPECT_NE(HelpPageAddress().find(L"/detail/dc_188984.html"), std::wstring::npos);

  std::wstring layout, version;
  platform_.OnNextModal([&](toolkit::SHostWnd& about) {
    layout = about.GetLayoutName();
    EXPECT_TRUE(Visible(about, L"btn_popwnd_close"));
    Click(about, L"btn_popwnd_close");
  });
  Click(*window_, L"btn_sys_abort");
  ASSERT_TRUE(Click(*window_, L"btn_more_about"));
  EXPECT_EQ(layout, L"LAYOUT:XML_POPWND_ABORT");
  EXPECT_EQ(platform_.ModalLoopsRun(), 1);
  EXPECT_FALSE(Visible(*window_, L"win_main_tips"));
  EXPECT_EQ(window_->OpenDialog(), nullptr);

  ASSERT_TRUE(Click(*window_, L"btn_sys_feedback"));
  EXPECT_TRUE(services_.Called("feedback"));
}

TEST_F(MainWndTest, ClosingWhileIdleAsksNothing) {
  Open();
  ASSERT_TRUE(Click(*window_, L"btn_sys_close"));
  EXPECT_EQ(platform_.ModalLoopsRun(), 0);
  EXPECT_TRUE(services_.Called("statistic"));
  EXPECT_TRUE(platform_.QuitRequested());
  window_.reset();
  EXPECT_TRUE(services_.Called("end testers"));
  EXPECT_TRUE(services_.Called("free device"));
}

TEST_F(MainWndTest, ClosingDuringARunAsksAndCancelKeepsTheRun) {
  Open();
  ASSERT_TRUE(Click(*window_, L"btn_sys_run"));
  EXPECT_EQ(Page(*window_, L"tab_main_op"), 1);
  ASSERT_TRUE(window_->Controller().State().running);

  AnswerBox(L"button2nd");  // Cancel
  Click(*window_, L"btn_sys_close");
  ASSERT_EQ(boxTexts_.size(), 1u);
  EXPECT_EQ(boxTexts_[0], L"正在检测中,确认退出吗？");
  EXPECT_FALSE(platform_.QuitRequested());
  EXPECT_FALSE(services_.Called("statistic"));
  EXPECT_TRUE(window_->Controller().State().running);

  AnswerBox(L"button1st");  // OK
  Click(*window_, L"btn_sys_close");
  EXPECT_TRUE(platform_.QuitRequested());
  EXPECT_TRUE(services_.Called("statistic"));
  // The worker may be waiting for a message box of its own; the window still goes at once.
  auto started = std::chrono::steady_clock::now();
  window_.reset();
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(500));
  EXPECT_TRUE(services_.Called("end testers"));
}

TEST_F(MainWndTest, WithoutNetworkStartShowsPageFourAndRetryReturnsToTheStart) {
  probes_->networkUp = 0;
  Open();
  ASSERT_TRUE(WaitFor(services_, [&] { return !window_->Controller().State().networkUp; }));
  const struct {
    const wchar_t* click;
    int page;
  } steps[] = {
      {L"btn_sys_run", 4},
      {L"btn_sys_retry", 0},
      {L"btn_sys_run", 4},
  };
  int checks = probes_->presenceChecks;
  for (const auto& s : steps) {
    SCOPED_TRACE(toolkit::WideToUtf8(s.click));
    ASSERT_TRUE(Click(*window_, s.click));
    EXPECT_EQ(Page(*window_, L"tab_main_op"), s.page);
    EXPECT_FALSE(window_->Controller().State().running);
  }
  EXPECT_EQ(probes_->presenceChecks, checks + 1);  // the retry checked again
  // The network is back: after a retry the next start runs.
  probes_->networkUp = 1;
  ASSERT_TRUE(Click(*window_, L"btn_sys_retry"));
  ASSERT_TRUE(Click(*window_, L"btn_sys_run"));
  EXPECT_EQ(Page(*window_, L"tab_main_op"), 1);
}

// A whole run in the window (no devices: their two boxes answered) ends on the results page,
// and the 500 ms timer then flashes the main window's taskbar button: a minimised window's
// paused bar alternates full and empty, a shown one stays empty, nine ticks in all.
TEST_F(MainWndTest, AFinishedRunFlashesTheTaskbarButtonOnTheFlashTimer) {
  for (bool minimised : {true, false}) {
    SCOPED_TRACE(minimised ? "minimised" : "shown");
    window_.reset();
    services_.taskbar.clear();
    services_.minimised = minimised;
    probes_->succeed = true;
    boxTexts_.clear();
    Open();
    AnswerBox(L"button1st");
    AnswerBox(L"button1st");
    ASSERT_TRUE(Click(*window_, L"btn_sys_run"));
    // No time passes once the results page is there (it may come from the wake message, which
    // shows a step's status and cards at once).
    for (auto since = std::chrono::steady_clock::now(); Waiting(since);) {
      services_.PumpUi();
      if (Page(*window_, L"tab_main_op") == 2)
        break;
      platform_.Advance(CMainWnd::kRefreshMs);
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ASSERT_EQ(Page(*window_, L"tab_main_op"), 2);
    EXPECT_EQ(boxTexts_,
              (std::vector<std::wstring>{L"未检测到麦克风和扬声器！", L"未检测到摄像头！"}));
    // Nothing before the flash timer; its first tick only when the page came from a refresh
    // tick due at the same time as a flash tick (every second).
    EXPECT_LE(services_.taskbar.size(), 1u);
    platform_.Advance(12 * CMainWnd::kFlashMs);
    std::vector<std::string> expected;
    for (int tick = 1; tick < 10; ++tick)
      expected.push_back(minimised && tick % 2 == 0 ? "8 100/100" : "8 0/100");
    EXPECT_EQ(services_.taskbar, expected);
  }
}

TEST_F(MainWndTest, TheDnsBoxFillsItsBarAndEndsItselfOrAtACloseRequest) {
  const struct {
    const char* name;
    bool closeEarly;
    int ticks;
    std::uint64_t minMs, maxMs;
  } cases[] = {
      {"left alone", false, 4, 2000, 2100},
      {"Alt+F4 at once", true, 0, 0, 100},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    CPopWndDNS box(app_.Context());
    std::vector<int> values;
    if (c.closeEarly) {
      platform_.OnNextModal([](toolkit::SHostWnd& dialog) {
        toolkit::headless::PlatformOf(dialog).WindowOf(dialog)->Sink()->OnCloseRequest();
      });
    }
    std::uint64_t start = platform_.Now();
    EXPECT_EQ(box.DoModal(nullptr), toolkit::kDialogOk);
    std::uint64_t elapsed = platform_.Now() - start;
    EXPECT_GE(elapsed, c.minMs);
    EXPECT_LE(elapsed, c.maxMs);
    EXPECT_EQ(box.TickCount(), c.ticks);
  }
}

TEST_F(MainWndTest, TheDnsBarShowsQuarterSteps) {
  CPopWndDNS box(app_.Context());
  std::vector<int> seen;
  platform_.OnNextModal([&](toolkit::SHostWnd& dialog) {
    for (int i = 0; i < 3; ++i) {
      platform_.Advance(CPopWndDNS::kTickMs);
      seen.push_back(toolkit::headless::Value(dialog, L"pro_dns_set"));
    }
  });
  box.DoModal(nullptr);
  EXPECT_EQ(seen, (std::vector<int>{25, 50, 75}));
}

// The whole window by keys alone: each step's key, then the page, the more menu and the focus.
TEST_F(MainWndTest, EveryActionOfTheStartPageByKeys) {
  using toolkit::Key;
  using toolkit::headless::FocusName;
  Open();
  struct Step {
    const char* what;
    Key key;
    bool shift;
    int page;
    bool menu;
    const wchar_t* focus;
  };
  const Step steps[] = {
      {"opens on the start button", Key::kOther, false, 0, false, L"btn_sys_run"},
      {"back past the caption", Key::kTab, true, 0, false, L"btn_sys_close"},
      {"to the more button", Key::kTab, true, 0, false, L"btn_sys_min"},
      {"", Key::kTab, true, 0, false, L"btn_sys_abort"},
      {"Enter opens the menu on its first item", Key::kEnter, false, 0, true, L"btn_more_about"},
      {"Tab inside the menu", Key::kTab, false, 0, true, L"btn_more_help"},
      {"Esc closes it, back on the more button", Key::kEscape, false, 0, false, L"btn_sys_abort"},
      {"on to the start button", Key::kTab, false, 0, false, L"btn_sys_min"},
      {"", Key::kTab, false, 0, false, L"btn_sys_close"},
      {"", Key::kTab, false, 0, false, L"btn_sys_run"},
      {"the agreement box", Key::kTab, false, 0, false, L"checkbox_sys_agreement"},
      {"Space unticks it", Key::kSpace, false, 0, false, L"checkbox_sys_agreement"},
      {"the start button is skipped", Key::kTab, true, 0, false, L"btn_sys_close"},
      {"", Key::kTab, false, 0, false, L"checkbox_sys_agreement"},
      {"ticked again", Key::kSpace, false, 0, false, L"checkbox_sys_agreement"},
      {"the agreement link", Key::kTab, false, 0, false, L"btn_sys_agreement"},
      {"Enter opens the agreement's text", Key::kEnter, false, 3, false, L"agreement_edit"},
      {"Esc closes it onto the start button", Key::kEscape, false, 0, false, L"btn_sys_run"},
      {"Esc on the page itself does nothing", Key::kEscape, false, 0, false, L"btn_sys_run"},
  };
  for (const auto& s : steps) {
    SCOPED_TRACE(s.what);
    if (s.key != Key::kOther)
      toolkit::headless::PressKey(*window_, s.key, s.shift);
    EXPECT_EQ(Page(*window_, L"tab_main_op"), s.page);
    EXPECT_EQ(Visible(*window_, L"win_main_tips"), s.menu);
    EXPECT_EQ(FocusName(*window_), s.focus);
  }
  EXPECT_TRUE(window_->IsFocusMarkShown());
  // Enter starts; the close request (Alt+F4) during the run asks first, as the close button.
  toolkit::headless::PressKey(*window_, Key::kEnter);
  EXPECT_EQ(Page(*window_, L"tab_main_op"), 1);
  ASSERT_TRUE(window_->Controller().State().running);
  AnswerBox(L"button2nd");
  EXPECT_FALSE(platform_.WindowOf(*window_)->Sink()->OnCloseRequest());
  ASSERT_EQ(boxTexts_.size(), 1u);
  EXPECT_EQ(boxTexts_[0], L"正在检测中,确认退出吗？");
  EXPECT_FALSE(platform_.QuitRequested());
  EXPECT_TRUE(window_->Controller().State().running);
}

// Bytes the process has allocated and not freed: the sanitizer's count, else glibc's; -1 where
// neither is there (the Windows builds).
long long LiveHeapBytes() {
#if defined(__SANITIZE_ADDRESS__)
  return static_cast<long long>(__sanitizer_get_current_allocated_bytes());
#elif defined(__GLIBC__)
  return static_cast<long long>(mallinfo2().uordblks);
#else
  return -1;
#endif
}

// Runs in a row in one window, each with two problems and left by the back button as a user
// does, hold nothing more than the first ones did: no window, diagnostic, heap block or
// growing list is left behind per run (the program stays open for a whole lesson).
TEST_F(MainWndTest, RunsInARowLeaveNothingBehind) {
  probes_->succeed = true;
  window_ = std::make_unique<CMainWnd>(
      app_,
      CMainWnd::Parts{services_, probes_, log_,
                      [](toolkit::SHostWnd&) {
                        // A microphone, a speaker and a camera, each with a problem.
                        return std::make_unique<AbsentDevicePopups>(DeviceAnswers{1, 1, 2, 0});
                      },
                      DetectTiming{10, 5}});
  window_->Create();
  ASSERT_TRUE(FinishStartup());
  struct Figures {
    std::size_t windows, diagnostics;
    long long heap;
  };
  std::vector<Figures> after;
  for (int run = 1; run <= 6; ++run) {
    SCOPED_TRACE("run " + std::to_string(run));
    ASSERT_TRUE(Click(*window_, L"btn_sys_run"));
    for (auto since = std::chrono::steady_clock::now();
         Waiting(since) && Page(*window_, L"tab_main_op") != 2;) {
      services_.PumpUi();
      platform_.Advance(CMainWnd::kRefreshMs);
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    ASSERT_EQ(Page(*window_, L"tab_main_op"), 2);
    EXPECT_EQ(Text(*window_, L"detect_pro_info_1"), L"2");
    platform_.Advance(12 * CMainWnd::kFlashMs);  // the taskbar's flashing ends
    ASSERT_TRUE(Click(*window_, L"btn_sys_back2"));
    EXPECT_EQ(Page(*window_, L"tab_main_op"), 0);
    // What the fakes keep of each run is theirs, not the window's.
    std::vector<std::string>().swap(services_.taskbar);
    std::vector<std::wstring>().swap(boxTexts_);
    services_.Clear();
    for (auto* window : platform_.Windows())
      window->ClearAccEvents();
    after.push_back(
        {platform_.Windows().size(), app_.Context().GetDiagnostics().size(), LiveHeapBytes()});
  }
  for (std::size_t run = 1; run < after.size(); ++run) {
    EXPECT_EQ(after[run].windows, after[0].windows) << "after run " << run + 1;
    EXPECT_EQ(after[run].diagnostics, after[0].diagnostics) << "after run " << run + 1;
  }
  if (after[0].heap >= 0) {
    // From the second run on (the first may fill a cache once): a run that kept even one small
    // block would show as 4 of them over four runs.
    const long long grown = after.back().heap - after[1].heap;
    EXPECT_LT(grown, 256) << "heap after each run:" << [&] {
      std::string list;
      for (const Figures& f : after)
        list += " " + std::to_string(f.heap);
      return list;
    }();
  }
}

}  // namespace
}  // namespace kestrelrun
