// The audio popup over a fake MicProbe: device order, volume steps, the verdict guard while
// starting, the verdict buttons and the keyboard's Esc and close request, device switches, and
// its end while the test runs.
#include <gtest/gtest.h>

#include <thread>

#include "audio/audio_popup.h"
#include "audio/device_list.h"
#include "controls/dropdown_list.h"
#include "popup_fakes.h"

namespace popups {
namespace {

namespace hl = toolkit::headless;

AudioDeviceMap Devices(
    std::initializer_list<std::tuple<const wchar_t*, const wchar_t*, unsigned>> entries) {
  AudioDeviceMap map;
  for (auto [id, name, isDefault] : entries)
    map[id] = AudioDevice{id, name, isDefault};
  return map;
}

std::vector<std::wstring> Names(const std::vector<AudioDevice>& devices) {
  std::vector<std::wstring> names;
  for (const auto& d : devices)
    names.push_back(d.name);
  return names;
}

TEST(AudioDeviceList, DefaultLastOrAnEmptyEntry) {
  struct Case {
    const char* what;
    AudioDeviceMap map;
    std::vector<std::wstring> names;
  } cases[] = {
      {"second is the default", Devices({{L"a", L"A", 0}, {L"b", L"B", 1}}), {L"A", L"B"}},
      {"first is the default", Devices({{L"a", L"A", 1}, {L"b", L"B", 0}}), {L"B", L"A"}},
      {"no default", Devices({{L"a", L"A", 0}, {L"b", L"B", 0}}), {L"A", L"B", L""}},
      {"a later default wins", Devices({{L"a", L"A", 1}, {L"b", L"B", 1}}), {L"B"}},
      {"id order, not insertion",
       Devices({{L"z", L"Z", 0}, {L"m", L"M", 0}, {L"q", L"Q", 1}}),
       {L"M", L"Z", L"Q"}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(Names(DevicesDefaultLast(c.map)), c.names) << c.what;
}

TEST(AudioVolumeSteps, MixerRangeToSliderAndBack) {
  struct Case {
    int minimum, maximum, volume;
    unsigned step;
    int position;
  } cases[] = {
      {0, 65535, 32768, 655, 50}, {0, 65535, 65535, 655, 100}, {0, 99, 50, 0, 0},
      {-1, -1, -1, 0, 0},         {0, 100, 37, 1, 37},         {0, 65535, -1, 655, 100},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(MicVolumeStep(c.minimum, c.maximum), c.step) << c.maximum;
    EXPECT_EQ(MicSliderPosition(c.volume, c.step), c.position) << c.volume;
  }
  EXPECT_EQ(MicVolumeForPosition(50, 655), 32750);
  EXPECT_EQ(MicVolumeForPosition(50, 0), 0);  // MicProbe ignores 0
}

class AudioPopup : public testing::PopupTest {
 protected:
  void Open() {
    popup = std::make_unique<CPopWndAudio>(ui, audio, results, *codePage);
    ASSERT_TRUE(popup->Create());
    ASSERT_TRUE(ui.GetDiagnostics().empty()) << toolkit::testing::DiagnosticsText(ui);
    popup->LoadAudioDevices();
    popup->StartMessageTimer();
    popup->ShowPopup();
  }
  testing::FakeAudio audio;
  testing::FakeResults results;
  std::unique_ptr<CPopWndAudio> popup;
};

TEST_F(AudioPopup, LoadsDevicesVolumesAndEditTexts) {
  audio.mics = Devices({{L"{m1}", L"麦克风 一", 0}, {L"{m2}", L"麦克风 二", 1}});
  audio.speakers = Devices({{L"{s1}", L"扬声器", 0}});
  Open();
  EXPECT_EQ(popup->MicrophoneCount(), 2);
  EXPECT_EQ(popup->SpeakerCount(), 2);  // no default: an empty entry last
  EXPECT_EQ(hl::Text(*popup, L"popwnd_audio_edit_input_1"), L"麦克风 二");
  EXPECT_EQ(hl::Text(*popup, L"popwnd_audio_edit_input_2"), L"");
  EXPECT_EQ(popup->GetMicVolumeStep(), 655u);
  EXPECT_EQ(popup->GetMicSliderValue(), 50);
  EXPECT_EQ(popup->GetSpeakerSliderValue(), 40);
  EXPECT_EQ(audio.context, popup.get());
}

TEST_F(AudioPopup, ButtonsRefusedWhileStartingThenVerdictStopsAndReports) {
  audio.mics = Devices({{L"{m1}", L"Mic", 1}});
  audio.speakers = Devices({{L"{s1}", L"Spk", 1}});
  Open();
  popup->SetVerdict(kVerdictPending);
  std::wstring text;
  for (const wchar_t* button :
       {L"btn_popwnd_audio_work", L"btn_popwnd_audio_dropdown_1", L"btn_popwnd_audio_close"}) {
    ExpectMessage(&text);
    ASSERT_TRUE(hl::Click(*popup, button));
    EXPECT_EQ(text, kStartingText) << button;
  }
  EXPECT_EQ(popup->Verdict(), kVerdictPending);
  EXPECT_TRUE(results.mic.empty());

  popup->StartMicrophoneTest();
  EXPECT_EQ(popup->InitState(), 1);
  EXPECT_EQ(hl::Value(*popup, L"slider_audio"), 50);
  EXPECT_TRUE(popup->FindChildByName2<SMicAudioAnimator>(L"AudioAnimator")->IsRunning());
  ASSERT_TRUE(hl::Click(*popup, L"btn_popwnd_audio_error"));
  EXPECT_EQ(popup->Verdict(), kVerdictProblem);
  EXPECT_FALSE(popup->IsWindowVisible());
  EXPECT_EQ(audio.Count("Stop"), 1);
  EXPECT_FALSE(popup->FindChildByName2<SMicAudioAnimator>(L"AudioAnimator")->IsRunning());
  EXPECT_EQ(results.mic, std::vector<int>{kVerdictProblem});
}

TEST_F(AudioPopup, FailedStartIsShownAndButtonsStillWork) {
  audio.mics = Devices({{L"{m1}", L"Mic", 1}});
  audio.speakers = Devices({{L"{s1}", L"Spk", 1}});
  audio.startResult = 0;
  Open();
  std::wstring text;
  ExpectMessage(&text);
  std::thread worker([&] { popup->StartMicrophoneTest(); });
  worker.join();
  EXPECT_EQ(popup->InitState(), 0);
  platform.Advance(20);  // the timer hands the start's outcome to the UI thread
  EXPECT_EQ(text, kStartFailedText);
  ASSERT_TRUE(hl::Click(*popup, L"btn_popwnd_audio_work"));
  EXPECT_EQ(results.mic, std::vector<int>{kVerdictWorks});
}

TEST_F(AudioPopup, NoDeviceDisablesControlsButAllowsAVerdict) {
  Open();
  EXPECT_EQ(popup->MicrophoneCount(), 0);
  popup->EnterNoDeviceState();
  for (const wchar_t* name : {L"slider_audio", L"slider_speaker", L"btn_popwnd_audio_dropdown_1",
                              L"btn_popwnd_audio_dropdown_2"})
    EXPECT_FALSE(hl::Enabled(*popup, name)) << name;
  ASSERT_TRUE(hl::Click(*popup, L"btn_popwnd_audio_close"));
  EXPECT_EQ(results.mic, std::vector<int>{kVerdictClosed});
}

TEST_F(AudioPopup, CloseRequestIsIgnored) {
  Open();
  static_cast<toolkit::INativeWindowSink&>(*popup).OnCloseRequest();
  EXPECT_TRUE(popup->IsWindow());
  EXPECT_TRUE(popup->IsWindowVisible());
}

// From the keyboard: the close request (Alt+F4) is ignored as the system's is; Esc takes the
// close button's path, with its guard while the test still starts.
TEST_F(AudioPopup, EscIsTheCloseButtonAndTheKeyboardsCloseRequestIsIgnored) {
  audio.mics = Devices({{L"{m1}", L"Mic", 1}});
  audio.speakers = Devices({{L"{s1}", L"Spk", 1}});
  struct Case {
    const char* what;
    int initState;
    bool esc;  // else the close request
    bool shown;
    std::vector<int> verdicts;
    bool guarded;  // the "still starting" message
  };
  const Case cases[] = {
      {"close request while testing", 1, false, true, {}, false},
      {"close request while starting", -1, false, true, {}, false},
      {"Esc while testing", 1, true, false, {kVerdictClosed}, false},
      {"Esc while starting", -1, true, true, {}, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    results.mic.clear();
    Open();
    popup->SetInitState(c.initState);
    std::wstring text;
    if (c.guarded)
      ExpectMessage(&text);
    if (c.esc)
      hl::PressKey(*popup, toolkit::Key::kEscape);
    else
      static_cast<toolkit::INativeWindowSink&>(*popup).OnCloseRequest();
    EXPECT_EQ(popup->IsWindowVisible(), c.shown);
    EXPECT_EQ(results.mic, c.verdicts);
    EXPECT_EQ(text, c.guarded ? L"麦克风初始化过程中禁止操作！" : L"");
  }
}

// Down on a device's edit opens its list as the drop button does, and not past the button's
// guard while the test starts, nor past the button disabled without devices.
TEST_F(AudioPopup, TheKeyboardOpensAListOnlyWhereItsButtonWould) {
  audio.mics = Devices({{L"{m1}", L"Mic", 1}});
  audio.speakers = Devices({{L"{s1}", L"Spk", 1}});
  struct Case {
    const char* what;
    int initState;
    bool noDevices;
    bool opens;
    const wchar_t* message;
  };
  const Case cases[] = {
      {"testing", 1, false, true, L""},
      {"starting", -1, false, false, L"麦克风初始化过程中禁止操作！"},
      {"no devices", 1, true, false, L""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Open();
    popup->SetInitState(c.initState);
    if (c.noDevices)
      popup->EnterNoDeviceState();
    platform.Advance(20);
    std::wstring text;
    if (*c.message)
      ExpectMessage(&text);
    ASSERT_TRUE(hl::Click(*popup, L"popwnd_audio_edit_input_1"));
    hl::PressKey(*popup, toolkit::Key::kDown);
    auto* mic = popup->FindChildByName2<SSearchDropdownList_1>(L"audio_mic_select");
    EXPECT_EQ(mic->GetDropWindow() != nullptr, c.opens);
    EXPECT_EQ(text, c.message);
    if (mic->GetDropWindow())
      hl::PressKey(*mic->GetDropWindow(), toolkit::Key::kEscape);
    ui.LeaveDispatch();
  }
}

TEST_F(AudioPopup, SlidersSendTheirSteps) {
  audio.mics = Devices({{L"{m1}", L"Mic", 1}});
  audio.speakers = Devices({{L"{s1}", L"Spk", 1}});
  Open();
  popup->StartMicrophoneTest();
  ASSERT_TRUE(hl::DragSlider(*popup, L"slider_audio", 20));
  ASSERT_TRUE(hl::DragSlider(*popup, L"slider_speaker", 70));
  EXPECT_EQ(audio.Count("SetMicrophoneVolume 13100"), 1);
  EXPECT_EQ(audio.Count("SetSpeakerVolume 70"), 1);
  EXPECT_EQ(popup->GetMicSliderValue(), 20);
}

TEST_F(AudioPopup, ChosenDeviceBecomesDefaultOrItsErrorIsShownLater) {
  audio.mics = Devices({{L"{m1}", L"Mic A", 0}, {L"{m2}", L"Mic B", 1}});
  audio.speakers = Devices({{L"{s1}", L"Spk A", 0}, {L"{s2}", L"Spk B", 1}});
  Open();
  popup->StartMicrophoneTest();
  ASSERT_TRUE(hl::Click(*popup, L"btn_popwnd_audio_dropdown_1"));
  auto* mic = popup->FindChildByName2<SSearchDropdownList_1>(L"audio_mic_select");
  ASSERT_NE(mic->GetDropWindow(), nullptr);
  EXPECT_EQ(mic->GetDropWindow()->GetNative()->Geometry().h, 62);
  audio.micVolume = 6550;
  ASSERT_TRUE(hl::ClickItem(*mic->GetDropWindow(), L"lv_dropdown_1", 0));
  ui.LeaveDispatch();
  EXPECT_EQ(audio.Count("SetMic {m1}"), 1);
  EXPECT_EQ(hl::Text(*popup, L"popwnd_audio_edit_input_1"), L"Mic A");
  EXPECT_EQ(hl::Value(*popup, L"slider_audio"), 10);

  audio.switchResult = 0;
  audio.switchError = "\xc9\xe8\xd6\xc3\xd1\xef\xc9\xf9\xc6\xf7\xca\xa7\xb0\xdc";  // GBK
  ASSERT_TRUE(hl::Click(*popup, L"btn_popwnd_audio_dropdown_2"));
  auto* speaker = popup->FindChildByName2<SSearchDropdownList_3>(L"audio_speaker_select");
  ASSERT_TRUE(hl::ClickItem(*speaker->GetDropWindow(), L"lv_dropdown_3", 1));
  ui.LeaveDispatch();
  EXPECT_EQ(audio.Count("SetSpeaker {s2}"), 1);
  std::wstring text;
  ExpectMessage(&text);
  platform.Advance(20);
  EXPECT_EQ(text, L"设置扬声器失败");
}

TEST_F(AudioPopup, EndsTheRunningTestOnceWhenDestroyed) {
  audio.mics = Devices({{L"{m1}", L"Mic", 1}});
  audio.speakers = Devices({{L"{s1}", L"Spk", 1}});
  Open();
  popup->StartMicrophoneTest();
  std::atomic<bool> stop{false};
  std::thread capture([&] {
    std::vector<short> block(2048, 5000);
    while (!stop)
      audio.callback(block.data(), 2048, audio.context);
  });
  popup->DestroyWindow();
  EXPECT_EQ(popup->Verdict(), kVerdictClosed);  // a waiting step ends
  stop = true;
  capture.join();
  popup.reset();
  auto calls = audio.Calls();
  ASSERT_GE(calls.size(), 2u);
  EXPECT_EQ(calls[calls.size() - 2], "Stop");
  EXPECT_EQ(calls.back(), "Release");
  EXPECT_EQ(audio.Count("Release"), 1);
}

}  // namespace
}  // namespace popups
