#include "network/report/report_address.h"

#include "core/ipv4.h"
#include "kestrel_endpoints.h"

namespace netprobe {

std::string ReportAddress() {
  return std::string("https://") + kestrel::endpoints::kReportHost + "/report";
}

bool IsLoopbackHost(std::string_view hostPort) {
  if (hostPort.substr(0, 5) == "[::1]") {
    const std::string_view rest = hostPort.substr(5);
    return rest.empty() || rest.front() == ':';
  }
  const std::string_view host = hostPort.substr(0, hostPort.find(':'));
  return IsDottedIPv4(host) && host.substr(0, 4) == "127.";
}

bool TlsVerifyFor(std::string_view setting, std::string_view hostPort) {
  if (setting == "OFF") {
    return false;
  }
  if (setting == "AUTO") {
    return !IsLoopbackHost(hostPort);
  }
  return true;
}

bool ReportTlsVerify() {
  return TlsVerifyFor(kestrel::endpoints::kReportTlsVerify, kestrel::endpoints::kReportHost);
}

}  // namespace netprobe
