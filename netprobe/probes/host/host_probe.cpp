#include "probes/host/host_probe.h"

#include <string>

#include "core/probe_error.h"
#include "probes/host/product_listing.h"

namespace netprobe {

int ProbeHost(ProbeEngine& engine, ProbeError* error) {
  HostInfo& info = engine.hostInfo;
  info.hostTypeName.clear();

  std::string output;
  if (engine.platform().commands->RunCommand(L"wmic CSPRODUCT list full", output) != 1) {
    SetError(error, kCommandFailedCode, kHostCommandFailedMessage);
    return 0;
  }
  if (!ParseProductListing(output, info)) {
    SetError(error, 2, "解析主机类型失败");
    return 0;
  }
  return 1;
}

}  // namespace netprobe
