#include "dll/mic_tester.h"

#include "core/engine_error.h"
#include "endpoints/endpoints.h"

namespace micprobe {

namespace {

void Fail(ProbeError* error, int code, const char* fallback) {
  if (error == nullptr) {
    return;
  }
  const std::string engineText = EngineErrorText();
  error->code = code;
  error->message = engineText.empty() ? std::string(fallback) : engineText;
}

}  // namespace

MicTester::MicTester(const AudioServices& services)
    : CPipe(*services.capture, *services.render), services_(services) {}

bool MicTester::SetDrawCallback(DrawWaveCallback callback, void* context) {
  if (callback == nullptr) {
    return false;
  }
  drawCallback_ = callback;
  drawContext_ = context;
  in_.SetDrawCallback(callback, context);
  return true;
}

bool MicTester::SetErrorCallback(TestErrorCallback callback, void* context) {
  if (callback == nullptr) {
    return false;
  }
  errorCallback_ = callback;
  errorContext_ = context;
  return true;
}

void MicTester::MicrophoneRange(int* minimum, int* maximum) {
  const MixerLineRef::Reading reading = mixerLine_.Read(*services_.mixer);
  if (minimum != nullptr) {
    *minimum = reading.minimum;
  }
  if (maximum != nullptr) {
    *maximum = reading.maximum;
  }
}

void MicTester::MicrophoneVolume(int* volume) {
  const MixerLineRef::Reading reading = mixerLine_.Read(*services_.mixer);
  if (volume != nullptr) {
    *volume = reading.value;
  }
}

void MicTester::SetMicrophoneVolume(int volume) {
  if (volume != 0) {
    mixerLine_.Set(*services_.mixer, volume);
  }
}

bool MicTester::SpeakerVolume(int* volume) {
  services_.endpoints->EnterCall();
  const int percent = ReadSpeakerPercent(*services_.endpoints);
  services_.endpoints->LeaveCall();
  if (percent < 0) {
    return false;
  }
  if (volume != nullptr) {
    *volume = percent;
  }
  return true;
}

void MicTester::SetSpeakerVolume(int volume) {
  if (static_cast<unsigned>(volume) > 100U) {
    return;
  }
  services_.endpoints->EnterCall();
  ApplySpeakerPercent(*services_.endpoints, volume);
  services_.endpoints->LeaveCall();
}

bool MicTester::StartTest(ProbeError* error) {
  if (!StartCapture()) {
    Fail(error, kMicrophoneOpenFailed, kMicrophoneOpenFailedText);
    return false;
  }
  if (!StartPlayback()) {
    Fail(error, kSpeakerOpenFailed, kSpeakerOpenFailedText);
    return false;
  }
  SetLoopbackActive(true);
  return true;
}

void MicTester::StopTest() {
  StopCapture();
  StopPlayback();
  SetLoopbackActive(false);
}

AudioDeviceMap* MicTester::Microphones() {
  captureDevices_.clear();
  services_.endpoints->EnterCall();
  {
    CMicrophoneVolumeCtrl line(*services_.mixer, mixerLine_.source, mixerLine_.waveInDevice);
    ListEndpoints(*services_.endpoints, Flow::kCapture, captureDevices_);
  }
  services_.endpoints->LeaveCall();
  return captureDevices_.empty() ? nullptr : &captureDevices_;
}

AudioDeviceMap* MicTester::Speakers() {
  renderDevices_.clear();
  services_.endpoints->EnterCall();
  ListEndpoints(*services_.endpoints, Flow::kRender, renderDevices_);
  services_.endpoints->LeaveCall();
  return renderDevices_.empty() ? nullptr : &renderDevices_;
}

bool MicTester::SelectDefault(const std::wstring& id, bool withMixerLine, ProbeError* error,
                              int code, const char* message) {
  StopTest();
  services_.clock->SleepMs(100);
  services_.endpoints->EnterCall();
  std::int32_t result = 0;
  if (withMixerLine) {
    CMicrophoneVolumeCtrl line(*services_.mixer, mixerLine_.source, mixerLine_.waveInDevice);
    result = services_.endpoints->MakeDefault(id);
  } else {
    result = services_.endpoints->MakeDefault(id);
  }
  services_.endpoints->LeaveCall();
  if (result < 0) {
    if (error != nullptr) {
      error->code = code;
      error->message = message;
    }
    return false;
  }
  return StartTest(error);
}

bool MicTester::SelectMicrophone(const std::wstring& id, ProbeError* error) {
  return SelectDefault(id, true, error, kSetMicrophoneFailed, kSetMicrophoneFailedText);
}

bool MicTester::SelectSpeaker(const std::wstring& id, ProbeError* error) {
  return SelectDefault(id, false, error, kSetSpeakerFailed, kSetSpeakerFailedText);
}

}  // namespace micprobe
