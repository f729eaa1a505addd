#include "audio/audio_library.h"

namespace popups {
namespace {

class MicProbeExports : public IAudioLibrary {
 public:
  int SetMicrophoneTestDrawWaveCallBack(DrawWaveCallback callback, void* context) override {
    return ::SetMicrophoneTestDrawWaveCallBack(callback, context);
  }
  int GetLocalMicrophone(AudioDeviceMap** devices) override {
    return ::GetLocalMicrophone(devices);
  }
  int GetLocalSystemSpeaker(AudioDeviceMap** devices) override {
    return ::GetLocalSystemSpeaker(devices);
  }
  int GetMicrophoneVolumeRange(int* minimum, int* maximum) override {
    return ::GetMicrophoneVolumeRange(minimum, maximum);
  }
  int GetMicrophoneVolume(int* volume) override { return ::GetMicrophoneVolume(volume); }
  int SetMicrophoneVolume(int volume) override { return ::SetMicrophoneVolume(volume); }
  int GetSpeakerVolume(int* volume) override { return ::GetSpeakerVolume(volume); }
  int SetSpeakerVolume(int volume) override { return ::SetSpeakerVolume(volume); }
  int StartTestMicrophone(ProbeError* error) override { return ::StartTestMicrophone(error); }
  int StopTestMicrophone() override { return ::StopTestMicrophone(); }
  int SetSpecifiedIDMicrophone(const wchar_t* id, ProbeError* error) override {
    return ::SetSpecifiedIDMicrophone(id, error);
  }
  int SetSpecifiedIDSystemSpeaker(const wchar_t* id, ProbeError* error) override {
    return ::SetSpecifiedIDSystemSpeaker(id, error);
  }
  void ReleaseMicDllRes() override { ::ReleaseMicDllRes(); }
};

}  // namespace

IAudioLibrary& MicProbeLibrary() {
  static MicProbeExports exports;
  return exports;
}

}  // namespace popups
