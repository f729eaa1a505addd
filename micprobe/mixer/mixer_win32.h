// The winmm mixer MicProbe.dll builds its tester with (mixer_win32.cpp).
#pragma once

#include <memory>

#include "mixer/mixer_backend.h"

namespace micprobe::win32 {

std::unique_ptr<IMixerBackend> MakeMixer();

}  // namespace micprobe::win32
