// The microphone and camera verdicts: stored as the caller gives them, or read from what a
// tester program leaves in its result file.
#pragma once

#include <cstddef>

#include "NetProbe.h"
#include "core/platform.h"
#include "probes/device_tests/tester_platform.h"

namespace netprobe {

// What the popups and testers mean by each state.
inline constexpr int kDeviceNoVerdict = 0;
inline constexpr int kDeviceWorks = 1;
inline constexpr int kDeviceHasProblem = 2;

inline constexpr const char kMicrophoneTestFailedMessage[] = "测试麦克风失败";
inline constexpr const char kCameraTestFailedMessage[] = "测试摄像头失败";

// Paths below the program folder (microphone, camera tester) and the library folder (camera
// result, which follows the folder's trailing backslash).
inline constexpr const wchar_t kMicrophoneTester[] = L"\\Test\\MicProbe.exe";
inline constexpr const wchar_t kMicrophoneResult[] = L"\\Test\\MicrophoneTextResult.txt";
inline constexpr const wchar_t kCameraTester[] = L"\\Test\\CamProbe.exe";
inline constexpr const wchar_t kCameraResult[] = L"Test\\CameraTextResult.txt";

// Runs the microphone tester and reads its verdict through `files` into `state`. 0 with code 2
// when it left no result file (the state is then 2). No testers: as no result file.
int RunMicrophoneTest(ITesterPrograms* testers, IFiles& files, int& state, ProbeError* error);
// Runs the camera tester and reads its verdict into `state` (0 when it left none). 0 with code 2
// when it could not be started (the state is then 2).
int RunCameraTest(ITesterPrograms* testers, IFiles& files, int& state, ProbeError* error);

// Stores a caller's verdict; 0 and nothing stored for a negative one.
int StoreVerdict(int& state, int verdict);

// The longest path the testers are started from or read at; longer ones are not cut short.
inline constexpr std::size_t kMaxTesterPath = 260;

}  // namespace netprobe
