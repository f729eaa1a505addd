// The system's adapter table, through GetAdaptersAddresses.
// winsock2.h first: iphlpapi.h declares GetAdaptersAddresses only after it.
#include <winsock2.h>

#include <iphlpapi.h>
#include <windows.h>

#include <vector>

#include "core/win32_services.h"

namespace netprobe::win32 {

namespace {

// IPv4 adapters only, without their unicast, anycast, multicast and DNS server lists, with
// their prefixes: the names are all that is read.
constexpr ULONG kFamily = AF_INET;
constexpr ULONG kFlags = 0x1F;

}  // namespace

bool ListAdapters(std::vector<AdapterName>& adapters) noexcept {
  try {
    ULONG size = 0;
    if (GetAdaptersAddresses(kFamily, kFlags, nullptr, nullptr, &size) != ERROR_BUFFER_OVERFLOW ||
        size == 0) {
      return false;
    }
    // ULONGLONG elements keep the records as aligned as the table needs.
    std::vector<ULONGLONG> buffer((size + sizeof(ULONGLONG) - 1) / sizeof(ULONGLONG));
    auto* table = reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.data());
    if (GetAdaptersAddresses(kFamily, kFlags, nullptr, table, &size) != NO_ERROR) {
      return false;
    }
    for (const IP_ADAPTER_ADDRESSES* adapter = table; adapter != nullptr; adapter = adapter->Next) {
      AdapterName name;
      name.description = adapter->Description != nullptr ? adapter->Description : L"";
      name.friendlyName = adapter->FriendlyName != nullptr ? adapter->FriendlyName : L"";
      adapters.push_back(std::move(name));
    }
    return true;
  } catch (...) {
    return false;  // out of memory: not found
  }
}

}  // namespace netprobe::win32
