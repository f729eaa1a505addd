// Where reports go, and whether the server's certificate is checked.
#pragma once

#include <string>
#include <string_view>

namespace netprobe {

// "https://<report host>/report", the one resource both uploads address.
std::string ReportAddress();

// Whether host[:port] names this machine by a literal loopback address (127.0.0.0/8 or [::1]).
// Host names, "localhost" included, do not count: what they resolve to is not ours to know.
bool IsLoopbackHost(std::string_view hostPort);

// The certificate policy of a build: "ON" and "OFF" as set, "AUTO" checks every host but a
// loopback one (the local server's certificate is made by the tests). Anything else checks.
bool TlsVerifyFor(std::string_view setting, std::string_view hostPort);

// The policy of this build's report host.
bool ReportTlsVerify();

}  // namespace netprobe
