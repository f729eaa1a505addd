// A stand-in for the system's iphlpapi.dll in the Wine tests of the real NetProbe.dll: Wine's
// own adapter table is the Linux host's, so this one answers GetAdaptersAddresses from the
// adapters.txt of the machine profile that KESTREL_PROFILE names. It lies beside the test
// program and is loaded instead of Wine's through WINEDLLOVERRIDES=iphlpapi=n; the product
// knows nothing of it. Without a profile or its table it reports no adapters.
#include <winsock2.h>

#include <windows.h>

#include <iptypes.h>

#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

#include "profile.h"

namespace {

constexpr ULONG kNoData = ERROR_NO_DATA;

std::vector<simtools::AdapterEntry> ProfileAdapters() {
  std::vector<simtools::AdapterEntry> adapters;
  wchar_t folder[MAX_PATH] = {};
  const DWORD length = GetEnvironmentVariableW(L"KESTREL_PROFILE", folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) {
    return adapters;
  }
  std::string text;
  const std::string path = simtools::WideToUtf8(folder) + "\\adapters.txt";
  std::string error;
  if (simtools::ReadFileBytes(path, &text) &&
      !simtools::ParseAdapterTable(text, &adapters, &error)) {
    adapters.clear();
  }
  return adapters;
}

// Bytes of a wide string with its terminator, rounded up so the next record stays aligned.
std::size_t WideBytes(const std::wstring& text) {
  const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
  return (bytes + 7) & ~static_cast<std::size_t>(7);
}

wchar_t* PlaceWide(unsigned char*& cursor, const std::wstring& text) {
  auto* target = reinterpret_cast<wchar_t*>(cursor);
  std::memcpy(target, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
  cursor += WideBytes(text);
  return target;
}

}  // namespace

// Exported as GetAdaptersAddresses (see the .def file); the family, flags and reserved
// arguments are accepted as the product passes them. The table is one block: the records
// first, then their texts.
extern "C" ULONG WINAPI StandInGetAdaptersAddresses(ULONG /*family*/, ULONG /*flags*/,
                                                    PVOID /*reserved*/,
                                                    PIP_ADAPTER_ADDRESSES addresses, PULONG size) {
  if (size == nullptr) {
    return ERROR_INVALID_PARAMETER;
  }
  const std::vector<simtools::AdapterEntry> entries = ProfileAdapters();
  if (entries.empty()) {
    return kNoData;
  }
  std::vector<std::wstring> descriptions;
  std::vector<std::wstring> names;
  std::size_t needed = entries.size() * sizeof(IP_ADAPTER_ADDRESSES);
  for (const simtools::AdapterEntry& entry : entries) {
    descriptions.push_back(simtools::Utf8ToWide(entry.description));
    names.push_back(simtools::Utf8ToWide(entry.friendlyName));
    needed += WideBytes(descriptions.back()) + WideBytes(names.back()) + WideBytes(L"");
  }
  if (addresses == nullptr || *size < needed) {
    *size = static_cast<ULONG>(needed);
    return ERROR_BUFFER_OVERFLOW;
  }
  std::memset(addresses, 0, needed);
  unsigned char* cursor = reinterpret_cast<unsigned char*>(addresses + entries.size());
  for (std::size_t i = 0; i < entries.size(); ++i) {
    IP_ADAPTER_ADDRESSES& record = addresses[i];
    record.Length = sizeof(IP_ADAPTER_ADDRESSES);
    record.IfIndex = static_cast<IF_INDEX>(i + 1);
    record.Next = i + 1 < entries.size() ? &addresses[i + 1] : nullptr;
    record.AdapterName = const_cast<PCHAR>("");
    record.Description = PlaceWide(cursor, descriptions[i]);
    record.FriendlyName = PlaceWide(cursor, names[i]);
    record.DnsSuffix = PlaceWide(cursor, L"");
    record.IfType = IF_TYPE_ETHERNET_CSMACD;
    record.OperStatus = IfOperStatusUp;
  }
  *size = static_cast<ULONG>(needed);
  return NO_ERROR;
}
