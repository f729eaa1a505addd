// The seam between the main window and the two device test popups: the main window makes them
// through a factory at the end of its initialisation (hidden, as windows of the main window),
// hands their operations to the detection controller and shows them when a run asks. Until the
// popup windows are given, AbsentDevicePopups stands in: no microphone, speaker or camera, and
// every verdict "closed without a verdict", so a run passes the two device steps.
#pragma once

#include <functional>
#include <memory>

#include "app/detect_view.h"

namespace toolkit {
class SHostWnd;
}

namespace kestrelrun {

class IDevicePopups {
 public:
  // Destroys the camera popup first, then the audio popup (each releases its library).
  virtual ~IDevicePopups() = default;
  virtual IAudioTestPopup& Audio() = 0;
  virtual ICameraTestPopup& Camera() = 0;
  virtual void ShowAudio() = 0;
  virtual void ShowCamera() = 0;
  // The popups' windows, for the development state dump; null when there are none.
  virtual toolkit::SHostWnd* AudioWindow() { return nullptr; }
  virtual toolkit::SHostWnd* CameraWindow() { return nullptr; }
};

// Makes the popups as hidden windows of `owner`, the audio popup having listed its devices.
using DevicePopupsFactory = std::function<std::unique_ptr<IDevicePopups>(toolkit::SHostWnd& owner)>;

// What a stand-in for the popups answers; by default no device at all.
struct DeviceAnswers {
  int microphones = 0;
  int speakers = 0;
  int verdict = 0;
  int cameraIndex = -1;
};

class AbsentDevicePopups : public IDevicePopups, IAudioTestPopup, ICameraTestPopup {
 public:
  explicit AbsentDevicePopups(DeviceAnswers answers = DeviceAnswers()) : answers_(answers) {}
  IAudioTestPopup& Audio() override { return *this; }
  ICameraTestPopup& Camera() override { return *this; }
  void ShowAudio() override {}
  void ShowCamera() override {}

 private:
  int MicrophoneCount() override { return answers_.microphones; }
  int SpeakerCount() override { return answers_.speakers; }
  int Verdict() override { return answers_.verdict; }
  void SetVerdict(int) override {}
  void SetInitState(int) override {}
  void EnterNoDeviceState() override {}
  void StartMicrophoneTest() override {}
  void LoadCameras() override {}
  int CameraIndex() override { return answers_.cameraIndex; }

  DeviceAnswers answers_;
};

}  // namespace kestrelrun
