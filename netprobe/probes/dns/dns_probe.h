// How fast each adapter's own DNS servers answer ping beside the two test resolvers, and whether
// this tool optimised an adapter's DNS before.
#pragma once

#include <string>
#include <vector>
#include "NetProbe.h"

#include "core/platform.h"
#include "core/wmi_query.h"

namespace netprobe {

// The test fails only offline or when it cannot run at all; missing commands leave entries out.
inline constexpr const char kDnsTestNotRunMessage[] = "获取DNS测试信息失败";

// The marker the DNS setting leaves in the all-users application data folder.
inline constexpr const wchar_t kDnsOptimizeMarker[] = L"DnsOptimize.txt";

// What the DNS test uses: the adapters' configuration through WMI, ping and netsh through the
// command runner, the adapter names and the files for the DNS setting's marker, the resolvers
// it times besides each adapter's own.
struct DnsProbeServices {
  WmiRunner& wmi;
  ICommandRunner& commands;
  IAdapterNames* adapters;
  const ICodePage& codePage;
  IFiles& files;
  int language;
  const std::vector<std::string>& testServers;
};

// Refills `info` and the address fields of the adapter probe's lists; always 1. Expects the
// presence check to have passed.
int ProbeDnsTest(const DnsProbeServices& services, std::vector<NetworkCard>& wired,
                 std::vector<NetworkCard>& wireless, DnsTestInfo& info, ProbeError* error);

}  // namespace netprobe
