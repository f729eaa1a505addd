// The process's one engine, reached by the exports.
#pragma once

#include <memory>

#include "dll/probe_engine.h"

namespace netprobe {

// The engine, or null once it has been destroyed.
ProbeEngine* Engine();

// Replaces the engine (the library's static initialiser does this once; tests install fakes).
void InstallEngine(std::unique_ptr<ProbeEngine> engine);

// Destroys the engine; later calls of Engine() give null.
void DestroyEngine();

}  // namespace netprobe
