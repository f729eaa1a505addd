#include "directshow/camera_system_win32.h"

#include "directshow/com_thread_win32.h"
#include "directshow/device_list_win32.h"
#include "directshow/preview_win32.h"

namespace camprobe::win32 {

namespace {

class DirectShowCameras : public ICameraSystem {
 public:
  bool ListDevices(std::vector<CameraDevice>* devices) override {
    bool listed = false;
    RunInComThread([&] { listed = ListVideoInputs(devices); });
    return listed;
  }

  StartResult StartPreview(const std::wstring& path, void* window, CameraRect rect) override {
    preview_.reset();
    return PreviewSession::Start(path, static_cast<HWND>(window), rect, &preview_);
  }

  void StopPreview() override { preview_.reset(); }

 private:
  std::unique_ptr<PreviewSession> preview_;
};

}  // namespace

std::unique_ptr<ICameraSystem> MakeCameraSystem() {
  return std::make_unique<DirectShowCameras>();
}

}  // namespace camprobe::win32
