#include "dll/engine_instance.h"

namespace netprobe {

namespace {
std::unique_ptr<ProbeEngine>& Slot() {
  // A function-local static avoids depending on the order of static initialisers across files.
  static std::unique_ptr<ProbeEngine> engine;
  return engine;
}
}  // namespace

ProbeEngine* Engine() {
  return Slot().get();
}

void InstallEngine(std::unique_ptr<ProbeEngine> engine) {
  Slot() = std::move(engine);
}

void DestroyEngine() {
  Slot().reset();
}

}  // namespace netprobe
