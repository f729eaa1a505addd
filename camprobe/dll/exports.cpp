// CamProbe's exports: find the engine, call one method, turn the outcome into the result. No
// exception leaves an export; after ReleaseCameraDllRes they fail or do nothing.
#include "CamProbe.h"
#include "dll/engine_instance.h"

using camprobe::CameraEngine;
using camprobe::Engine;

namespace {

// Runs body with the engine; a released library or a thrown exception (memory exhausted)
// gives 0 with a code.
template <typename Body>
int Guarded(ProbeError* error, int failCode, const char* failText, Body&& body) noexcept {
  try {
    CameraEngine* engine = Engine();
    if (engine == nullptr) {
      camprobe::Fail(error, camprobe::kLibraryReleased, camprobe::kLibraryReleasedText);
      return 0;
    }
    return body(*engine) ? 1 : 0;
  } catch (...) {
    camprobe::Fail(error, failCode, failText);
    return 0;
  }
}

}  // namespace

CAMPROBE_API int GetLocalCamera(CameraList** cameras, ProbeError* error) {
  return Guarded(error, camprobe::kListFailed, camprobe::kListFailedText,
                 [&](CameraEngine& e) { return e.List(cameras, error); });
}

CAMPROBE_API void SetCameraShowVideoWnd(void* window, CameraRect rect) {
  try {
    if (CameraEngine* engine = Engine()) {
      engine->SetVideoWindow(window, rect);
    }
  } catch (...) {
  }
}

CAMPROBE_API int OpenLocalCamera(int number, ProbeError* error) {
  return Guarded(error, camprobe::kOpenFailed, camprobe::kOpenFailedText,
                 [&](CameraEngine& e) { return e.Open(number, error); });
}

CAMPROBE_API void CloseLocalCamera() {
  try {
    if (CameraEngine* engine = Engine()) {
      engine->Close();
    }
  } catch (...) {
  }
}

CAMPROBE_API void ReleaseCameraDllRes() {
  try {
    camprobe::DestroyEngine();
  } catch (...) {
  }
}
