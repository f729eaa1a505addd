// CamProbe as the camera popup uses it: its five calls behind an interface (a fake in tests),
// with the camera list copied out of the library's own vector.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ProbeError.h"

namespace popups {

struct CameraEntry {
  std::int32_t number = 0;
  std::string name;  // ANSI code page
};

struct VideoRect {
  int left = 0, top = 0, right = 0, bottom = 0;
};

class ICameraLibrary {
 public:
  virtual ~ICameraLibrary() = default;
  // Non-zero when the list is valid; `cameras` then holds a copy of it.
  virtual int GetLocalCamera(std::vector<CameraEntry>* cameras, ProbeError* error) = 0;
  virtual void SetCameraShowVideoWnd(std::uintptr_t window, VideoRect rect) = 0;
  virtual int OpenLocalCamera(int number, ProbeError* error) = 0;
  virtual void CloseLocalCamera() = 0;
  virtual void ReleaseCameraDllRes() = 0;
};

// CamProbe.dll's exports (Windows builds).
ICameraLibrary& CamProbeLibrary();

}  // namespace popups
