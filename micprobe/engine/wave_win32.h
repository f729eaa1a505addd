// The winmm wave streams and the clock MicProbe.dll builds its tester with (wave_win32.cpp).
#pragma once

#include <memory>

#include "engine/audio_stream.h"

namespace micprobe::win32 {

std::unique_ptr<IAudioStream> MakeCaptureStream();
std::unique_ptr<IAudioStream> MakeRenderStream();
std::unique_ptr<IClock> MakeClock();

}  // namespace micprobe::win32
