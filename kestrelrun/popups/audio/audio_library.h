// MicProbe as the audio popup uses it: the same calls as the library's exports, behind an
// interface so that the popup runs over a fake in tests.
#pragma once

#include "MicProbe.h"

namespace popups {

class IAudioLibrary {
 public:
  virtual ~IAudioLibrary() = default;
  virtual int SetMicrophoneTestDrawWaveCallBack(DrawWaveCallback callback, void* context) = 0;
  virtual int GetLocalMicrophone(AudioDeviceMap** devices) = 0;
  virtual int GetLocalSystemSpeaker(AudioDeviceMap** devices) = 0;
  virtual int GetMicrophoneVolumeRange(int* minimum, int* maximum) = 0;
  virtual int GetMicrophoneVolume(int* volume) = 0;
  virtual int SetMicrophoneVolume(int volume) = 0;
  virtual int GetSpeakerVolume(int* volume) = 0;
  virtual int SetSpeakerVolume(int volume) = 0;
  virtual int StartTestMicrophone(ProbeError* error) = 0;
  virtual int StopTestMicrophone() = 0;
  virtual int SetSpecifiedIDMicrophone(const wchar_t* id, ProbeError* error) = 0;
  virtual int SetSpecifiedIDSystemSpeaker(const wchar_t* id, ProbeError* error) = 0;
  virtual void ReleaseMicDllRes() = 0;
};

// MicProbe.dll's exports (Windows builds).
IAudioLibrary& MicProbeLibrary();

}  // namespace popups
