// The system's IPv4 adapters with their descriptions and connection names.
// winsock2 must come before windows.h, and iphlpapi after both.
#include <winsock2.h>

#include <windows.h>

#include <iphlpapi.h>

#include <vector>

#include "core/win32_services.h"

namespace netprobe::win32 {

bool AdapterNames::ListAdapters(std::vector<AdapterName>& adapters) {
  try {
    // No unicast, anycast, multicast or DNS server lists; prefixes included.
    constexpr ULONG kFlags = GAA_FLAG_SKIP_UNICAST | GAA_FLAG_SKIP_ANYCAST |
                             GAA_FLAG_SKIP_MULTICAST | GAA_FLAG_SKIP_DNS_SERVER |
                             GAA_FLAG_INCLUDE_PREFIX;
    ULONG size = 0;
    ULONG rc = GetAdaptersAddresses(AF_INET, kFlags, nullptr, nullptr, &size);
    if (rc != ERROR_BUFFER_OVERFLOW || size == 0) {
      return false;
    }
    std::vector<unsigned char> buffer;
    // The list can grow between the two calls; ask again with the size given each time.
    for (int attempt = 0; attempt < 3; ++attempt) {
      buffer.assign(size, 0);
      auto* first = reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.data());
      rc = GetAdaptersAddresses(AF_INET, kFlags, nullptr, first, &size);
      if (rc == ERROR_BUFFER_OVERFLOW) {
        continue;
      }
      if (rc != NO_ERROR) {
        return false;
      }
      for (const IP_ADAPTER_ADDRESSES* a = first; a != nullptr; a = a->Next) {
        AdapterName name;
        name.description = a->Description != nullptr ? a->Description : L"";
        name.friendlyName = a->FriendlyName != nullptr ? a->FriendlyName : L"";
        adapters.push_back(name);
      }
      return true;
    }
    return false;
  } catch (...) {
    return false;
  }
}

}  // namespace netprobe::win32
