#include "core/presence.h"

#include <string>

#include "kestrel_endpoints.h"

namespace netprobe {

int CheckNetworkPresence(ICommandRunner& runner) {
  for (const wchar_t* host : kestrel::endpoints::kPresenceHosts) {
    std::string output;
    // Only a reply line carries "TTL=": time-outs, unreachable hosts and failed look-ups do not.
    if (runner.RunCommand(std::wstring(L"ping ") + host, output) == 1 &&
        output.find("TTL=") != std::string::npos) {
      return 1;
    }
  }
  return 0;
}

}  // namespace netprobe
