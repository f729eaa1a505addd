// The DirectShow camera system CamProbe.dll builds its engine with.
#pragma once

#include <memory>

#include "core/camera_system.h"

namespace camprobe::win32 {

std::unique_ptr<ICameraSystem> MakeCameraSystem();

}  // namespace camprobe::win32
