#include "dll/engine_instance.h"

#include <atomic>

namespace camprobe {

namespace {
// Never destroyed at unload: at process exit the preview's thread is already gone, and joining
// it under the loader lock could hang. ReleaseCameraDllRes is the one place the engine ends.
std::atomic<CameraEngine*>& Slot() {
  static std::atomic<CameraEngine*> engine{nullptr};
  return engine;
}
}  // namespace

CameraEngine* Engine() {
  return Slot().load();
}

void InstallEngine(std::unique_ptr<CameraEngine> engine) {
  DestroyEngine();
  Slot().store(engine.release());
}

void DestroyEngine() {
  // Taken out first, so that exports running meanwhile see no engine rather than a dying one.
  delete Slot().exchange(nullptr);
}

}  // namespace camprobe
