// CamProbe's engine: keeps the camera list handed out to the caller, the video window and the
// one running preview, and turns the platform's outcomes into failure codes. Every operation
// holds one lock: the list is taken on a worker thread, the preview opened on the UI thread.
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "CamProbe.h"
#include "core/camera_system.h"

namespace camprobe {

class CameraEngine {
 public:
  explicit CameraEngine(std::unique_ptr<ICameraSystem> system);
  ~CameraEngine();
  CameraEngine(const CameraEngine&) = delete;
  CameraEngine& operator=(const CameraEngine&) = delete;

  // Lists the cameras again; the list object stays the same, only its content changes.
  bool List(CameraList** cameras, ProbeError* error);
  void SetVideoWindow(void* window, CameraRect rect);
  bool Open(int number, ProbeError* error);
  void Close();

 private:
  bool ListLocked();

  std::mutex lock_;
  std::unique_ptr<ICameraSystem> system_;
  CameraList cameras_;
  std::vector<std::wstring> paths_;  // beside cameras_, same order
  bool listed_ = false;
  void* window_ = nullptr;
  CameraRect rect_;
  bool previewing_ = false;
};

// Writes a failure code and its text; keeps quiet when the caller gave no error record.
void Fail(ProbeError* error, int code, const char* text) noexcept;

}  // namespace camprobe
