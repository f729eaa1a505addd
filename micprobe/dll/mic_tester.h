// MicProbe's one library object: the loop-back pipe, the two endpoint lists, the mixer line
// and the registered callbacks, over the platform services it was built with.
#pragma once

#include "MicProbe.h"
#include "endpoints/endpoint_backend.h"
#include "engine/pipe.h"
#include "mixer/mic_volume_ctrl.h"

namespace micprobe {

struct AudioServices {
  IAudioStream* capture = nullptr;
  IAudioStream* render = nullptr;
  IClock* clock = nullptr;
  IEndpointBackend* endpoints = nullptr;
  IMixerBackend* mixer = nullptr;
};

class MicTester : public CPipe {
 public:
  explicit MicTester(const AudioServices& services);

  bool SetDrawCallback(DrawWaveCallback callback, void* context);
  bool SetErrorCallback(TestErrorCallback callback, void* context);

  void MicrophoneRange(int* minimum, int* maximum);
  void MicrophoneVolume(int* volume);
  void SetMicrophoneVolume(int volume);
  bool SpeakerVolume(int* volume);
  void SetSpeakerVolume(int volume);

  bool StartTest(ProbeError* error);
  void StopTest();

  // The filled map, or null when no endpoint is active.
  AudioDeviceMap* Microphones();
  AudioDeviceMap* Speakers();
  bool SelectMicrophone(const std::wstring& id, ProbeError* error);
  bool SelectSpeaker(const std::wstring& id, ProbeError* error);

 private:
  bool SelectDefault(const std::wstring& id, bool withMixerLine, ProbeError* error, int code,
                     const char* message);

  AudioDeviceMap captureDevices_;
  AudioDeviceMap renderDevices_;
  MixerLineRef mixerLine_;
  void* drawContext_ = nullptr;
  void* errorContext_ = nullptr;
  DrawWaveCallback drawCallback_ = nullptr;
  TestErrorCallback errorCallback_ = nullptr;
  AudioServices services_;
};

}  // namespace micprobe
