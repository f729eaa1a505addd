// Filling the caller's ProbeError. Narrow literals of NetProbe are compiled to GBK, so the
// messages below reach the caller in code page 936.
#pragma once

#include "NetProbe.h"

namespace netprobe {

// The codes are the public table in NetProbe.h; the messages stay here, in GBK.
inline constexpr const char kNoNetworkMessage[] = "您当前未连接网络，请连接网络";

// Writes code and message; a null error is ignored.
inline void SetError(ProbeError* error, int code, const char* message) {
  if (error != nullptr) {
    error->code = code;
    error->message = message;
  }
}

}  // namespace netprobe
