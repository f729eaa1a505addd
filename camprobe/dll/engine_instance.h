// The process's one CameraEngine, reached by the exports.
#pragma once

#include <memory>

#include "dll/camera_engine.h"

namespace camprobe {

// The engine, or null once ReleaseCameraDllRes has destroyed it.
CameraEngine* Engine();
// Installs the engine (the library's static initialiser does this once; tests install fakes).
void InstallEngine(std::unique_ptr<CameraEngine> engine);
void DestroyEngine();

}  // namespace camprobe
