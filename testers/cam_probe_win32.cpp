// CamProbe.exe: asks whether the camera works and leaves the verdict in CameraTextResult.txt
// beside itself.
#include <windows.h>

#include "tester_win32.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  return testers::RunTester(testers::Device::kCamera);
}
