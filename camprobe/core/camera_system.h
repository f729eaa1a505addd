// The platform side of CamProbe: the system's camera list and one live preview at a time.
#pragma once

#include <string>
#include <vector>

#include "CamProbe.h"

namespace camprobe {

// One device as the system lists it: the name shown to the user (ANSI code page) and the
// system's own path of the device, which finds it again when it is opened.
struct CameraDevice {
  std::string name;
  std::wstring path;
};

enum class StartResult {
  kRunning,      // the picture is being drawn
  kMissing,      // no device with that path any more
  kUnbuildable,  // the device or the preview graph could not be built
  kRefused,      // the graph was built, but the device would not run
};

class ICameraSystem {
 public:
  virtual ~ICameraSystem() = default;
  // The devices in enumeration order; false when the list cannot be read at all.
  virtual bool ListDevices(std::vector<CameraDevice>* devices) = 0;
  // Starts drawing device `path` into `window` within `rect`. Only one preview runs at a time:
  // the caller stops the previous one first. A failed start leaves nothing running.
  virtual StartResult StartPreview(const std::wstring& path, void* window, CameraRect rect) = 0;
  // Ends the preview; does nothing when none runs.
  virtual void StopPreview() = 0;
};

}  // namespace camprobe
