// Fakes of the libraries behind the popups, and a fixture with the program's resources and
// controls on the headless host.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include <pugixml.hpp>

#include "audio/audio_library.h"
#include "device_results.h"
#include "headless.h"
#include "kestrel/codepage.h"
#include "popup_registration.h"
#include "toolkit/application.h"
#include "toolkit/program_resources.h"
#include "video/camera_library.h"

namespace popups::testing {

// Records every call by name; answers from its fields.
class FakeAudio : public IAudioLibrary {
 public:
  int SetMicrophoneTestDrawWaveCallBack(DrawWaveCallback cb, void* ctx) override {
    Log("SetCallback");
    callback = cb;
    context = ctx;
    return 1;
  }
  int GetLocalMicrophone(AudioDeviceMap** devices) override {
    if (mics.empty())
      return 0;
    *devices = &mics;
    return 1;
  }
  int GetLocalSystemSpeaker(AudioDeviceMap** devices) override {
    if (speakers.empty())
      return 0;
    *devices = &speakers;
    return 1;
  }
  int GetMicrophoneVolumeRange(int* minimum, int* maximum) override {
    *minimum = rangeMin;
    *maximum = rangeMax;
    return 1;
  }
  int GetMicrophoneVolume(int* volume) override {
    *volume = micVolume;
    return 1;
  }
  int SetMicrophoneVolume(int volume) override {
    Log("SetMicrophoneVolume " + std::to_string(volume));
    return 1;
  }
  int GetSpeakerVolume(int* volume) override {
    *volume = speakerVolume;
    return 1;
  }
  int SetSpeakerVolume(int volume) override {
    Log("SetSpeakerVolume " + std::to_string(volume));
    return 1;
  }
  int StartTestMicrophone(ProbeError* error) override {
    Log("Start");
    if (!startResult) {
      error->code = 1;
      error->message = "x";
    }
    return startResult;
  }
  int StopTestMicrophone() override {
    Log("Stop");
    return 1;
  }
  int SetSpecifiedIDMicrophone(const wchar_t* id, ProbeError* error) override {
    Log("SetMic " + std::string(id, id + std::wcslen(id)));
    if (!switchResult)
      error->message = switchError;
    return switchResult;
  }
  int SetSpecifiedIDSystemSpeaker(const wchar_t* id, ProbeError* error) override {
    Log("SetSpeaker " + std::string(id, id + std::wcslen(id)));
    if (!switchResult)
      error->message = switchError;
    return switchResult;
  }
  void ReleaseMicDllRes() override { Log("Release"); }

  void Log(const std::string& call) {
    std::lock_guard<std::mutex> lock(mutex);
    calls.push_back(call);
  }
  std::vector<std::string> Calls() {
    std::lock_guard<std::mutex> lock(mutex);
    return calls;
  }
  int Count(const std::string& call) {
    int n = 0;
    for (const auto& c : Calls())
      n += c == call;
    return n;
  }

  AudioDeviceMap mics, speakers;
  int rangeMin = 0, rangeMax = 65535, micVolume = 32768, speakerVolume = 40;
  int startResult = 1, switchResult = 1;
  std::string switchError;
  DrawWaveCallback callback = nullptr;
  void* context = nullptr;
  std::mutex mutex;
  std::vector<std::string> calls;
};

class FakeCamera : public ICameraLibrary {
 public:
  int GetLocalCamera(std::vector<CameraEntry>* list, ProbeError*) override {
    calls.push_back("Get");
    *list = cameras;
    return listResult;
  }
  void SetCameraShowVideoWnd(std::uintptr_t, VideoRect rect) override {
    calls.push_back("SetWnd " + std::to_string(rect.right) + "x" + std::to_string(rect.bottom));
  }
  int OpenLocalCamera(int number, ProbeError*) override {
    calls.push_back("Open " + std::to_string(number));
    return openResult;
  }
  void CloseLocalCamera() override { calls.push_back("Close"); }
  void ReleaseCameraDllRes() override { calls.push_back("Release"); }

  std::vector<CameraEntry> cameras;
  int listResult = 1, openResult = 1;
  std::vector<std::string> calls;
};

class FakeResults : public IDeviceTestResults {
 public:
  int SetMicrophoneTestResult(int v) override {
    mic.push_back(v);
    return 1;
  }
  int SetCameraTestResult(int v) override {
    camera.push_back(v);
    return 1;
  }
  std::vector<int> mic, camera;
};

class FakeMonitors : public IMonitorArea {
 public:
  toolkit::RectF MonitorOf(const toolkit::SHostWnd&) override { return area; }
  toolkit::RectF area{0, 0, 1920, 1080};
};

// A window built from a layout given as text.
class LayoutHost : public toolkit::SHostWnd {
 public:
  LayoutHost(toolkit::UiContext& context, const std::string& xml) : SHostWnd(context, L"") {
    doc_.load_string(xml.c_str());
    SetLayoutXml(doc_.first_child());
  }

 private:
  pugi::xml_document doc_;
};

// The program's resources, the popups' controls and the message box template.
class PopupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(toolkit::testing::AddProgramResources(ui, &error)) << error;
    RegisterPopupControls(ui, &monitors, &realWnds);
    pugi::xml_document box;
    ASSERT_TRUE(ui.LoadXmlDocment(box, L"LAYOUT:XML_MSGBOX"));
    ui.SetMsgTemplate(box.first_child());
  }
  // The text of the next message box, which is then closed with its first button.
  void ExpectMessage(std::wstring* text) {
    platform.OnNextModal([text](toolkit::SHostWnd& box) {
      *text = toolkit::headless::Text(box, L"msgtext");
      toolkit::headless::Click(box, L"button1st");
    });
  }

  toolkit::headless::HeadlessPlatform platform;
  toolkit::SApplication app{&platform};
  toolkit::UiContext& ui = app.Context();
  FakeMonitors monitors;
  CRealWndHandler realWnds;
  std::unique_ptr<kestrel::ICodePage> codePage = kestrel::MakeFixedCodePage(936, 936);
};

}  // namespace popups::testing
