// The ping command lines of the network tests. Addresses come from tool output and go into a
// "cmd /C" command line, so only dotted IPv4 addresses are let in.
#pragma once

#include <string>

namespace netprobe {

// "ping <target> -S <source>" followed by `options` (e.g. " -n 10"); empty when the source is
// not a dotted IPv4 address, or the target is neither one nor (with `allowNoTarget`) empty.
std::wstring PingFromCommand(const std::string& target, const std::string& source,
                             const wchar_t* options, bool allowNoTarget = false);

}  // namespace netprobe
