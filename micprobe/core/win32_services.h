// The Win32 platform services MicProbe.dll builds its tester with.
#pragma once

#include <memory>

#include "endpoints/endpoint_backend.h"
#include "engine/audio_stream.h"
#include "mixer/mixer_backend.h"

namespace micprobe::win32 {

std::unique_ptr<IAudioStream> MakeCaptureStream();
std::unique_ptr<IAudioStream> MakeRenderStream();
std::unique_ptr<IClock> MakeClock();
std::unique_ptr<IEndpointBackend> MakeEndpoints();
std::unique_ptr<IMixerBackend> MakeMixer();

}  // namespace micprobe::win32
