// The LAN count's text functions: the /24 sweep prefix of an address, and the devices that
// "arp -a" lists under each adapter's interface. Plain functions of the text; they never throw
// and never read past it.
#pragma once

#include <string>
#include <vector>

#include "NetProbe.h"

namespace netprobe {

// For "192.168.1.5": sweep prefix and networkPrefix "192.168.1.". The subnet mask is not
// consulted. With fewer dots the networkPrefix holds the octets before the last dot and the sweep
// prefix adds "0.0" ("10.1.5") or "0.0.0" ("10.5") to it. False when the address holds no dot.
bool ComputeNetworkPrefix(const std::string& address, std::string& sweepPrefix,
                          std::string& networkPrefix);

// One entry per adapter (wired, then wireless, in list order) whose networkPrefix is longer than
// one character and whose address heads a section of the listing: the addresses of that section
// that start with the networkPrefix, broadcast entries left out, scored by their number.
void ParseArpTable(const std::string& text, const std::vector<NetworkCard>& wired,
                   const std::vector<NetworkCard>& wireless, int language,
                   std::vector<LanDevicesEntry>& wiredEntries,
                   std::vector<LanDevicesEntry>& wirelessEntries);

}  // namespace netprobe
