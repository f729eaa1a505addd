// Loading MicProbe.dll builds the one tester with the Win32 services; no export has to be
// called for that. The services live as long as the process: the tester may outlive unload.
#include <memory>

#include "dll/tester_instance.h"
#include "endpoints/endpoints_win32.h"
#include "engine/wave_win32.h"
#include "mixer/mixer_win32.h"

namespace {

struct TesterBuilder {
  TesterBuilder() {
    namespace w = micprobe::win32;
    micprobe::AudioServices services;
    services.capture = w::MakeCaptureStream().release();
    services.render = w::MakeRenderStream().release();
    services.clock = w::MakeClock().release();
    services.endpoints = w::MakeEndpoints().release();
    services.mixer = w::MakeMixer().release();
    micprobe::InstallTester(std::make_unique<micprobe::MicTester>(services));
  }
};

const TesterBuilder kBuildTester;

}  // namespace
