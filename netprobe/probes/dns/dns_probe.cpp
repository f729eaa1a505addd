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
void TimeServer(ProbeEngine& engine, const std::string& server, const std::string& source,
                std::vector<DnsProbeResult>& results) {
  const std::wstring command = PingFromCommand(server, source, L"");
  std::string output;
  if (command.empty() || engine.platform().commands->RunCommand(command, output) != 1) {
    return;
  }
  DnsProbeResult result;
  ParsePingStatistics(output, result);
  result.dnsAddress = server;
  results.push_back(result);
}

// Whether the adapter's DNS is statically configured and the DNS setting left its marker.
bool WasOptimised(ProbeEngine& engine, const NetworkCard& card) {
  const Platform& platform = engine.platform();
  std::string friendlyName;
  if (!FindAdapterFriendlyName(engine, card.description, friendlyName)) {
    return false;
  }
  std::string output;
  if (platform.commands->RunCommand(L"netsh interface ip show dnsserver", output) != 1) {
    return false;
  }
  int isStatic = 0;
  if (!ParseDnsServerSource(output, friendlyName, engine.language, isStatic) || isStatic != 1) {
    return false;
  }
  std::wstring folder;
  if (platform.files->GetCommonAppDataFolder(folder) != 1) {
    return false;
  }
  return platform.files->FileExists(folder + L"\\" + kDnsOptimizeMarker);
}

void TestAdapters(ProbeEngine& engine, const std::vector<NetworkCard>& cards,
                  std::vector<DnsTestEntry>& entries) {
  for (const NetworkCard& card : cards) {
    if (card.ipAddress.empty()) {
      continue;
    }
    DnsTestEntry entry;
    entry.networkCardName = card.description;
    entry.ipAddress = card.ipAddress;
    for (const std::string& server : card.dnsServers) {
      TimeServer(engine, server, card.ipAddress, entry.localDns);
    }
    if (!entry.localDns.empty()) {
      for (const std::string& server : engine.testDnsServers) {
        TimeServer(engine, server, card.ipAddress, entry.testDns);
      }
      entries.push_back(entry);
    }
    if (WasOptimised(engine, card)) {
      engine.dnsTestInfo.optimize = 1;
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

int ProbeDnsTest(ProbeEngine& engine, ProbeError* /*error*/) {
  DnsTestInfo& info = engine.dnsTestInfo;
  info.wiredEntries.clear();
  info.wirelessEntries.clear();
  info.optimize = 0;
  std::string listing;
  if (engine.RunWmiQuery(kNicConfigQuery, listing) != 1) {
    return 1;
  }
  ClearAddresses(engine.wiredCards);
  ClearAddresses(engine.wirelessCards);
  ParseNicConfig(listing, engine.wiredCards, engine.wirelessCards);
  TestAdapters(engine, engine.wiredCards, info.wiredEntries);
  TestAdapters(engine, engine.wirelessCards, info.wirelessEntries);
  return 1;
}

}  // namespace netprobe
