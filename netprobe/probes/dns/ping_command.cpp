#include "probes/dns/ping_command.h"

#include "core/ipv4.h"

namespace netprobe {

std::wstring PingFromCommand(const std::string& target, const std::string& source,
                             const wchar_t* options, bool allowNoTarget) {
  const bool targetFits = IsDottedIPv4(target) || (allowNoTarget && target.empty());
  if (!targetFits || !IsDottedIPv4(source)) {
    return {};
  }
  // Both are ASCII digits and dots now, so widening byte by byte is exact.
  return L"ping " + std::wstring(target.begin(), target.end()) + L" -S " +
         std::wstring(source.begin(), source.end()) + options;
}

}  // namespace netprobe
