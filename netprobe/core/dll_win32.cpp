// Loading NetProbe.dll builds the one engine with the Win32 services; no export has to be
// called for that.
#include <memory>

#include "core/codepage.h"
#include "core/engine_instance.h"
#include "core/win32_services.h"

namespace {

struct Win32Services {
  netprobe::win32::CommandRunner commands;
  netprobe::win32::Files files;
  netprobe::win32::SystemInfo system;
  netprobe::win32::Clock clock;
  netprobe::win32::AdapterTable adapters;
  std::unique_ptr<netprobe::ICodePage> codePage = netprobe::MakeSystemCodePage();
};

struct EngineBuilder {
  EngineBuilder() {
    // Constructed before the engine's slot, so destroyed after the engine at unload.
    static Win32Services services;
    netprobe::Platform platform;
    platform.commands = &services.commands;
    platform.codePage = services.codePage.get();
    platform.files = &services.files;
    platform.system = &services.system;
    platform.clock = &services.clock;
    platform.adapters = &services.adapters;
    netprobe::InstallEngine(std::make_unique<netprobe::ProbeEngine>(platform));
  }
};

const EngineBuilder kBuildEngine;

}  // namespace
