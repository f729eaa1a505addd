#include "video/camera_library.h"

#include "CamProbe.h"

namespace popups {
namespace {

class CamProbeExports : public ICameraLibrary {
 public:
  int GetLocalCamera(std::vector<CameraEntry>* cameras, ProbeError* error) override {
    CameraList* list = nullptr;
    int ok = ::GetLocalCamera(&list, error);
    cameras->clear();
    if (ok != 0 && list) {
      // Read in place by index and copied: the list stays the library's.
      for (size_t i = 0; i < list->size(); ++i)
        cameras->push_back({list->at(i).number, list->at(i).name});
    }
    return ok;
  }
  void SetCameraShowVideoWnd(std::uintptr_t window, VideoRect rect) override {
    ::SetCameraShowVideoWnd(reinterpret_cast<void*>(window),
                            CameraRect{rect.left, rect.top, rect.right, rect.bottom});
  }
  int OpenLocalCamera(int number, ProbeError* error) override {
    return ::OpenLocalCamera(number, error);
  }
  void CloseLocalCamera() override { ::CloseLocalCamera(); }
  void ReleaseCameraDllRes() override { ::ReleaseCameraDllRes(); }
};

}  // namespace

ICameraLibrary& CamProbeLibrary() {
  static CamProbeExports exports;
  return exports;
}

}  // namespace popups
