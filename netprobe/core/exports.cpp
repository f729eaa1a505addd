// NetProbe's exports: find the engine, call one method, turn the outcome into 1/0 and the error
// record. No exception leaves an export.
#include <curl/curl.h>

#include "NetProbe.h"
#include "core/engine_instance.h"
#include "core/probe_error.h"

using netprobe::Engine;
using netprobe::SetError;

namespace {

// Runs an export's body; anything thrown becomes a plain failure.
template <typename Body>
int Guarded(Body&& body) noexcept {
  try {
    return body();
  } catch (...) {
    return 0;
  }
}

}  // namespace

NETPROBE_API int InitDll(ProbeError* error) {
  return Guarded([&] {
    if (curl_global_init(CURL_GLOBAL_ALL) != CURLE_OK) {
      SetError(error, 1, "初始化CURL失败");
      return 0;
    }
    return 1;
  });
}

NETPROBE_API void ReleaseDllRes() {
  if (Engine() == nullptr) {
    return;
  }
  curl_global_cleanup();
  netprobe::DestroyEngine();
}

NETPROBE_API int GetNetworkState() {
  return Guarded([] { return Engine() != nullptr ? Engine()->NetworkState() : 0; });
}
