// MicProbe: the microphone and speaker library behind Kestrel's audio test.
//
// It lists the active capture and render endpoints, makes a chosen one the system default,
// reads and sets the microphone (mixer) and speaker (endpoint) volume, and runs a loop-back
// test that records from the default microphone, hands each block to a waveform callback and
// plays it back on the default speaker.
//
// Every export is a plain function with an undecorated name. This header needs no
// <windows.h>. The device maps and ProbeError hold std::wstring/std::string: every module that
// includes this header must be built with the same toolchain and C++ runtime as MicProbe.dll.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "ProbeError.h"

#if defined(_WIN32)
#if defined(MICPROBE_BUILDING)
#define MICPROBE_API extern "C" __declspec(dllexport)
#elif defined(MICPROBE_DELAY_LOADED)
// Called through the delay-import library's thunks: GNU ld drops an i686 thunk reached only
// through its __imp_ pointer and leaves that pointer 0.
#define MICPROBE_API extern "C"
#else
#define MICPROBE_API extern "C" __declspec(dllimport)
#endif
#else
#define MICPROBE_API extern "C" __attribute__((visibility("default")))
#endif

// One audio endpoint as Core Audio names it.
struct AudioDevice {
  std::wstring id;              // the endpoint id string
  std::wstring name;            // the friendly name
  std::uint32_t isDefault = 0;  // 1 when taken to be the default of its direction
};

// Endpoints keyed by id, in plain code-unit order of the ids. Owned by the library.
using AudioDeviceMap = std::map<std::wstring, AudioDevice>;

// Called on the capture thread for every recorded block: (samples, 2048, context). The
// samples are valid only during the call; the result is ignored.
typedef int (*DrawWaveCallback)(short* samples, int count, void* context);
// Stored only; the library never calls it.
typedef void (*TestErrorCallback)(void* context);

// Codes written to ProbeError, and their fixed texts in code page 936 (GBK bytes).
namespace micprobe {
inline constexpr int kMicrophoneOpenFailed = 1;
inline constexpr int kSpeakerOpenFailed = 2;
inline constexpr int kSetMicrophoneFailed = 3;
inline constexpr int kSetSpeakerFailed = 4;
// "打开麦克风失败"
inline constexpr const char kMicrophoneOpenFailedText[] =
    "\xb4\xf2\xbf\xaa\xc2\xf3\xbf\xcb\xb7\xe7\xca\xa7\xb0\xdc";
// "打开扬声器失败"
inline constexpr const char kSpeakerOpenFailedText[] =
    "\xb4\xf2\xbf\xaa\xd1\xef\xc9\xf9\xc6\xf7\xca\xa7\xb0\xdc";
// "设置麦克风失败！"
inline constexpr const char kSetMicrophoneFailedText[] =
    "\xc9\xe8\xd6\xc3\xc2\xf3\xbf\xcb\xb7\xe7\xca\xa7\xb0\xdc\xa3\xa1";
// "设置扬声器失败"
inline constexpr const char kSetSpeakerFailedText[] =
    "\xc9\xe8\xd6\xc3\xd1\xef\xc9\xf9\xc6\xf7\xca\xa7\xb0\xdc";
}  // namespace micprobe

MICPROBE_API int SetMicrophoneTestDrawWaveCallBack(DrawWaveCallback callback, void* context);
MICPROBE_API int SetMicrophoneTestErrorCallBack(TestErrorCallback callback, void* context);
// Microphone volume through the mixer: raw control values, -1 when the control is unusable.
MICPROBE_API int GetMicrophoneVolumeRange(int* minimum, int* maximum);
MICPROBE_API int GetMicrophoneVolume(int* volume);
MICPROBE_API int SetMicrophoneVolume(int volume);
// Speaker volume in percent (0 to 100); GetSpeakerVolume returns 0 and leaves *volume on failure.
MICPROBE_API int GetSpeakerVolume(int* volume);
MICPROBE_API int SetSpeakerVolume(int volume);
// The loop-back test.
MICPROBE_API int StartTestMicrophone(ProbeError* error);
MICPROBE_API int StopTestMicrophone();
// Endpoint lists (0 and *devices untouched when none is active) and the default switch.
MICPROBE_API int GetLocalMicrophone(AudioDeviceMap** devices);
MICPROBE_API int SetSpecifiedIDMicrophone(const wchar_t* id, ProbeError* error);
MICPROBE_API int GetLocalSystemSpeaker(AudioDeviceMap** devices);
MICPROBE_API int SetSpecifiedIDSystemSpeaker(const wchar_t* id, ProbeError* error);
// Ends the library object; afterwards every export returns 0 or does nothing.
MICPROBE_API void ReleaseMicDllRes();
