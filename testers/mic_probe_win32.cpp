// MicProbe.exe: asks whether the microphone works and leaves the verdict in
// MicrophoneTextResult.txt beside itself.
#include <windows.h>

#include "tester_win32.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  return testers::RunTester(testers::Device::kMicrophone);
}
