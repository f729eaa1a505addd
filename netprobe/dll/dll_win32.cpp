// Loading NetProbe.dll builds the one engine with the Win32 services; no export has to be
// called for that.
#include <memory>

#include "core/shared.h"
#include "core/win32_services.h"
#include "dll/engine_instance.h"
#include "network/report/curl_upload.h"
#include "probes/device_tests/tester_programs_win32.h"
#include "probes/speed/curl_transport.h"
#include "probes/speed/speed_files_win32.h"

namespace {

struct Win32Services {
  netprobe::win32::CommandRunner commands;
  netprobe::win32::Files files;
  netprobe::win32::SystemInfo system;
  netprobe::win32::Clock clock;
  netprobe::win32::AdapterNames adapters;
  netprobe::CurlUpload upload;
  netprobe::CurlTransport download;
  netprobe::win32::SpeedTestFiles speedFiles;
  netprobe::win32::TesterPrograms testers;
  netprobe::win32::DebuggerLog log;
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
    platform.upload = &services.upload;
    platform.download = &services.download;
    platform.speedFiles = &services.speedFiles;
    platform.testers = &services.testers;
    platform.log = &services.log;
    netprobe::InstallEngine(std::make_unique<netprobe::ProbeEngine>(platform));
  }
};

const EngineBuilder kBuildEngine;

}  // namespace
