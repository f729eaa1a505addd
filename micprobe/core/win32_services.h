// The Win32 platform services MicProbe.dll builds its tester with.
#pragma once

#include <memory>

#include "endpoints/endpoint_backend.h"
#include "engine/wave_device.h"
#include "mixer/mixer_backend.h"

namespace micprobe::win32 {

std::unique_ptr<IWaveIn> MakeWaveIn();
std::unique_ptr<IWaveOut> MakeWaveOut();
std::unique_ptr<IClock> MakeClock();
std::unique_ptr<IEndpointBackend> MakeEndpoints();
std::unique_ptr<IMixerBackend> MakeMixer();

}  // namespace micprobe::win32
