// The Core Audio endpoints MicProbe.dll builds its tester with (endpoints_win32.cpp).
#pragma once

#include <memory>

#include "endpoints/endpoint_backend.h"

namespace micprobe::win32 {

std::unique_ptr<IEndpointBackend> MakeEndpoints();

}  // namespace micprobe::win32
