// MicProbe's exports: find the tester, call one method, turn the outcome into the result. No
// exception leaves an export; after ReleaseMicDllRes they return 0 and touch nothing.
#include <string>

#include "MicProbe.h"
#include "dll/tester_instance.h"

using micprobe::MicTester;
using micprobe::Tester;

namespace {

template <typename Body>
int Guarded(Body&& body) noexcept {
  try {
    MicTester* tester = Tester();
    return tester == nullptr ? 0 : body(*tester);
  } catch (...) {
    return 0;
  }
}

// A start that threw (memory exhausted) still reports a code.
int StartFailed(ProbeError* error) noexcept {
  try {
    if (error != nullptr) {
      error->code = micprobe::kMicrophoneOpenFailed;
      error->message = micprobe::kMicrophoneOpenFailedText;
    }
  } catch (...) {
  }
  return 0;
}

}  // namespace

MICPROBE_API int SetMicrophoneTestDrawWaveCallBack(DrawWaveCallback callback, void* context) {
  return Guarded([&](MicTester& t) { return t.SetDrawCallback(callback, context) ? 1 : 0; });
}

MICPROBE_API int SetMicrophoneTestErrorCallBack(TestErrorCallback callback, void* context) {
  return Guarded([&](MicTester& t) { return t.SetErrorCallback(callback, context) ? 1 : 0; });
}

MICPROBE_API int GetMicrophoneVolumeRange(int* minimum, int* maximum) {
  return Guarded([&](MicTester& t) {
    t.MicrophoneRange(minimum, maximum);
    return 1;
  });
}

MICPROBE_API int GetMicrophoneVolume(int* volume) {
  return Guarded([&](MicTester& t) {
    t.MicrophoneVolume(volume);
    return 1;
  });
}

MICPROBE_API int SetMicrophoneVolume(int volume) {
  return Guarded([&](MicTester& t) {
    t.SetMicrophoneVolume(volume);
    return 1;
  });
}

MICPROBE_API int GetSpeakerVolume(int* volume) {
  return Guarded([&](MicTester& t) { return t.SpeakerVolume(volume) ? 1 : 0; });
}

MICPROBE_API int SetSpeakerVolume(int volume) {
  return Guarded([&](MicTester& t) {
    t.SetSpeakerVolume(volume);
    return 1;
  });
}

MICPROBE_API int StartTestMicrophone(ProbeError* error) {
  if (Tester() == nullptr) {
    return StartFailed(error);
  }
  const int result = Guarded([&](MicTester& t) { return t.StartTest(error) ? 1 : 2; });
  return result == 1 ? 1 : (result == 2 ? 0 : StartFailed(error));
}

MICPROBE_API int StopTestMicrophone() {
  return Guarded([](MicTester& t) {
    t.StopTest();
    return 1;
  });
}

MICPROBE_API int GetLocalMicrophone(AudioDeviceMap** devices) {
  return Guarded([&](MicTester& t) {
    AudioDeviceMap* map = t.Microphones();
    if (map == nullptr) {
      return 0;
    }
    if (devices != nullptr) {
      *devices = map;
    }
    return 1;
  });
}

MICPROBE_API int SetSpecifiedIDMicrophone(const wchar_t* id, ProbeError* error) {
  return Guarded([&](MicTester& t) {
    return t.SelectMicrophone(id == nullptr ? std::wstring() : std::wstring(id), error) ? 1 : 0;
  });
}

MICPROBE_API int GetLocalSystemSpeaker(AudioDeviceMap** devices) {
  return Guarded([&](MicTester& t) {
    AudioDeviceMap* map = t.Speakers();
    if (map == nullptr) {
      return 0;
    }
    if (devices != nullptr) {
      *devices = map;
    }
    return 1;
  });
}

MICPROBE_API int SetSpecifiedIDSystemSpeaker(const wchar_t* id, ProbeError* error) {
  return Guarded([&](MicTester& t) {
    return t.SelectSpeaker(id == nullptr ? std::wstring() : std::wstring(id), error) ? 1 : 0;
  });
}

MICPROBE_API void ReleaseMicDllRes() {
  try {
    micprobe::DestroyTester();
  } catch (...) {
  }
}
