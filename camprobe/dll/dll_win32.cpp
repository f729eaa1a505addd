// Loading CamProbe.dll builds the one engine with the DirectShow camera system; no export has
// to be called for that. Nothing of COM is touched until an export asks for it.
#include <memory>

#include "directshow/camera_system_win32.h"
#include "dll/engine_instance.h"

namespace {

struct EngineBuilder {
  EngineBuilder() {
    camprobe::InstallEngine(
        std::make_unique<camprobe::CameraEngine>(camprobe::win32::MakeCameraSystem()));
  }
};

const EngineBuilder kBuildEngine;

}  // namespace
