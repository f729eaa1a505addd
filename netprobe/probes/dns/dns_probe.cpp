#include "probes/dns/dns_probe.h"

#include <string>
#include <vector>

#include "core/wmi_query.h"
#include "network/friendly_name.h"
#include "probes/dns/dns_parsers.h"
#include "probes/dns/ping_command.h"

namespace netprobe {

namespace {

// Every key wmic prints, in its order: the reader looks back 200 characters from a description
// for its block's gateway, which only stays inside the block in a listing of wmic's length.
constexpr WmiQuery kNicConfigQuery{
    L"WMIC NICCONFIG list full",
    KESTREL_CIM_LISTING(
        L"Win32_NetworkAdapterConfiguration",
        L"'DefaultIPGateway', 'Description', 'DHCPEnabled', 'DHCPLeaseExpires', "
        L"'DHCPLeaseObtained', 'DHCPServer', 'DNSDomain', 'DNSDomainSuffixSearchOrder', "
        L"'DNSEnabledForWINSResolution', 'DNSHostName', 'DNSServerSearchOrder', "
        L"'DomainDNSRegistrationEnabled', 'FullDNSRegistrationEnabled', 'GatewayCostMetric', "
        L"'Index', 'InterfaceIndex', 'IPAddress', 'IPConnectionMetric', 'IPEnabled', "
        L"'IPFilterSecurityEnabled', 'IPSecPermitIPProtocols', 'IPSecPermitTCPPorts', "
        L"'IPSecPermitUDPPorts', 'IPSubnet', 'MACAddress', 'ServiceName', 'SettingID', "
        L"'TcpipNetbiosOptions', 'WINSEnableLMHostsLookup', 'WINSHostLookupFile', "
        L"'WINSPrimaryServer', 'WINSScopeID', 'WINSSecondaryServer'")};

// Pings `server` from the adapter's address with the system's default four echo requests; a
// command that is not built (an address unfit for a command line) or not started adds nothing.
void TimeServer(const DnsProbeServices& services, const std::string& server,
                const std::string& source, std::vector<DnsProbeResult>& results) {
  const std::wstring command = PingFromCommand(server, source, L"");
  std::string output;
  if (command.empty() || services.commands.RunCommand(command, output) != 1) {
    return;
  }
  DnsProbeResult result;
  ParsePingStatistics(output, result);
  result.dnsAddress = server;
  results.push_back(result);
}

// Whether the adapter's DNS is statically configured and the DNS setting left its marker.
bool WasOptimised(const DnsProbeServices& services, const NetworkCard& card) {
  std::string friendlyName;
  if (!FindAdapterFriendlyName(services.adapters, services.codePage, card.description,
                               friendlyName)) {
    return false;
  }
  std::string output;
  if (services.commands.RunCommand(L"netsh interface ip show dnsserver", output) != 1) {
    return false;
  }
  int isStatic = 0;
  if (!ParseDnsServerSource(output, friendlyName, services.language, isStatic) || isStatic != 1) {
    return false;
  }
  std::wstring folder;
  if (services.files.GetCommonAppDataFolder(folder) != 1) {
    return false;
  }
  return services.files.FileExists(folder + L"\\" + kDnsOptimizeMarker);
}

// 1 in `optimize` when an adapter's DNS was optimised.
void TestAdapters(const DnsProbeServices& services, const std::vector<NetworkCard>& cards,
                  std::vector<DnsTestEntry>& entries, int& optimize) {
  for (const NetworkCard& card : cards) {
    if (card.ipAddress.empty()) {
      continue;
    }
    DnsTestEntry entry;
    entry.networkCardName = card.description;
    entry.ipAddress = card.ipAddress;
    for (const std::string& server : card.dnsServers) {
      TimeServer(services, server, card.ipAddress, entry.localDns);
    }
    if (!entry.localDns.empty()) {
      for (const std::string& server : services.testServers) {
        TimeServer(services, server, card.ipAddress, entry.testDns);
      }
      entries.push_back(entry);
    }
    if (WasOptimised(services, card)) {
      optimize = 1;
    }
  }
}

// The listing fills the address fields afresh: a second test must not append the DNS servers
// again, nor keep an address the adapter no longer has.
void ClearAddresses(std::vector<NetworkCard>& cards) {
  for (NetworkCard& card : cards) {
    card.ipAddress.clear();
    card.subnetMask.clear();
    card.defaultIPGateway.clear();
    card.dnsServers.clear();
  }
}

}  // namespace

int ProbeDnsTest(const DnsProbeServices& services, std::vector<NetworkCard>& wired,
                 std::vector<NetworkCard>& wireless, DnsTestInfo& info, ProbeError* /*error*/) {
  info.wiredEntries.clear();
  info.wirelessEntries.clear();
  info.optimize = 0;
  std::string listing;
  if (services.wmi.Run(kNicConfigQuery, listing) != 1) {
    return 1;
  }
  ClearAddresses(wired);
  ClearAddresses(wireless);
  ParseNicConfig(listing, wired, wireless);
  TestAdapters(services, wired, info.wiredEntries, info.optimize);
  TestAdapters(services, wireless, info.wirelessEntries, info.optimize);
  return 1;
}

}  // namespace netprobe
