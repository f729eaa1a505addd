#include "probes/host/host_probe.h"

#include <string>

#include "core/probe_error.h"
#include "core/wmi_query.h"
#include "probes/host/product_listing.h"

namespace netprobe {

namespace {

// Only the keys the listing's reader takes, in their order: no value printed before a key can
// pose as it.
constexpr WmiQuery kProductQuery{
    L"wmic CSPRODUCT list full",
    KESTREL_CIM_LISTING(L"Win32_ComputerSystemProduct",
                        L"'IdentifyingNumber', 'Name', 'Vendor', 'Version'")};

}  // namespace

int ProbeHost(WmiRunner& wmi, HostInfo& info, ProbeError* error) {
  info.hostTypeName.clear();

  std::string output;
  if (wmi.Run(kProductQuery, output) != 1) {
    SetError(error, kCommandFailed, kHostCommandFailedMessage);
    return 0;
  }
  if (!ParseProductListing(output, info)) {
    SetError(error, kAnswerUnreadable, "解析主机类型失败");
    return 0;
  }
  return 1;
}

}  // namespace netprobe
