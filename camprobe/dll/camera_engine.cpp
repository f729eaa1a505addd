#include "dll/camera_engine.h"

#include <utility>

namespace camprobe {

void Fail(ProbeError* error, int code, const char* text) noexcept {
  if (error == nullptr) {
    return;
  }
  error->code = code;
  try {
    error->message = text;
  } catch (...) {
    // Out of memory: the code alone tells what failed.
  }
}

CameraEngine::CameraEngine(std::unique_ptr<ICameraSystem> system) : system_(std::move(system)) {}

CameraEngine::~CameraEngine() {
  Close();
}

bool CameraEngine::ListLocked() {
  std::vector<CameraDevice> devices;
  listed_ = false;
  cameras_.clear();
  paths_.clear();
  if (!system_->ListDevices(&devices)) {
    return false;
  }
  cameras_.reserve(devices.size());
  paths_.reserve(devices.size());
  for (CameraDevice& device : devices) {
    CameraInfo info;
    info.number = static_cast<std::int32_t>(cameras_.size());
    info.name = std::move(device.name);
    cameras_.push_back(std::move(info));
    paths_.push_back(std::move(device.path));
  }
  listed_ = true;
  return true;
}

bool CameraEngine::List(CameraList** cameras, ProbeError* error) {
  std::lock_guard<std::mutex> hold(lock_);
  if (!ListLocked()) {
    Fail(error, kListFailed, kListFailedText);
    return false;
  }
  if (cameras != nullptr) {
    *cameras = &cameras_;
  }
  return true;
}

void CameraEngine::SetVideoWindow(void* window, CameraRect rect) {
  std::lock_guard<std::mutex> hold(lock_);
  window_ = window;
  rect_ = rect;
}

bool CameraEngine::Open(int number, ProbeError* error) {
  std::lock_guard<std::mutex> hold(lock_);
  if (previewing_) {
    system_->StopPreview();
    previewing_ = false;
  }
  if (window_ == nullptr || rect_.right <= rect_.left || rect_.bottom <= rect_.top) {
    Fail(error, kNoVideoWindow, kNoVideoWindowText);
    return false;
  }
  if (!listed_ && !ListLocked()) {
    Fail(error, kListFailed, kListFailedText);
    return false;
  }
  if (number < 0 || static_cast<std::size_t>(number) >= paths_.size()) {
    Fail(error, kNoSuchCamera, kNoSuchCameraText);
    return false;
  }
  switch (system_->StartPreview(paths_[static_cast<std::size_t>(number)], window_, rect_)) {
    case StartResult::kRunning:
      previewing_ = true;
      return true;
    case StartResult::kMissing:
      Fail(error, kNoSuchCamera, kNoSuchCameraText);
      return false;
    case StartResult::kRefused:
      Fail(error, kCameraBusy, kCameraBusyText);
      return false;
    case StartResult::kUnbuildable:
      break;
  }
  Fail(error, kOpenFailed, kOpenFailedText);
  return false;
}

void CameraEngine::Close() {
  std::lock_guard<std::mutex> hold(lock_);
  if (previewing_) {
    system_->StopPreview();
    previewing_ = false;
  }
}

}  // namespace camprobe
