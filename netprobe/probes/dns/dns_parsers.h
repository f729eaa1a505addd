// Reading the DNS test's inputs out of captured output: the adapters' addresses from
// "WMIC NICCONFIG list full", ping's statistics block, and where netsh says an adapter's DNS
// servers come from. Plain functions of the text; they never throw and never read past it.
#pragma once

#include <string>
#include <vector>

#include "NetProbe.h"

namespace netprobe {

// The first double-quoted element of a WMIC array value ({"192.168.1.5","fe80::1"}), trimmed,
// when it is 7 to 15 characters long (the length of a dotted IPv4 address). False (address
// unchanged) otherwise. Only the length is checked: callers test IsDottedIPv4 before putting
// the address into a command line.
bool ParseQuotedAddress(const std::string& value, std::string& address);

// Every double-quoted element of 7 to 15 characters, trimmed, appended in order (IPv6
// addresses are thereby dropped).
void ParseQuotedAddressList(const std::string& value, std::vector<std::string>& addresses);

// Fills ipAddress, subnetMask, defaultIPGateway and (appending) dnsServers of every adapter
// whose description appears in the listing; other adapters stay as they were. Always 1.
int ParseNicConfig(const std::string& text, std::vector<NetworkCard>& wired,
                   std::vector<NetworkCard>& wireless);

// lost, minimum, maximum and average of a Chinese ping statistics block, each key searched after
// the one before. Keys that are missing leave their numbers as they were. Always 1.
int ParsePingStatistics(const std::string& text, DnsProbeResult& result);

// Whether netsh's section of the adapter named `friendlyName` (quoted in its header) says its
// DNS servers are statically configured, in the keywords of `language`. False when the adapter's
// section is missing; true otherwise, isStatic 1 only when the marker stands before the
// register-suffix line.
bool ParseDnsServerSource(const std::string& text, const std::string& friendlyName, int language,
                          int& isStatic);

}  // namespace netprobe
