#include "probes/adapters/adapter_probe.h"

#include <string>
#include <vector>

#include "core/probe_error.h"
#include "core/wmi_query.h"
#include "probes/adapters/adapter_parsers.h"

namespace netprobe {

namespace {

// The speed reader finds a card's description, then its block's service name and speed.
constexpr WmiQuery kNicQuery{
    L"wmic nic list full",
    KESTREL_CIM_LISTING(L"Win32_NetworkAdapter", L"'Description', 'ServiceName', 'Speed'")};

// One summary per card, in list order; a card that is not connected shows no speed.
void AppendCardSummaries(const std::vector<NetworkCard>& cards, int isWired,
                         std::vector<NetworkCardSummary>& summaries) {
  for (const NetworkCard& card : cards) {
    NetworkCardSummary summary;
    summary.networkCardName = card.description;
    summary.networkCardSpeed = card.connected == 1 ? card.speed : 0;
    summary.signalValue = card.signal;
    summary.isWired = isWired;
    summaries.push_back(summary);
  }
}

// A listing that does not start leaves its list empty.
std::vector<NetworkCard> ListAdapters(const AdapterProbeServices& services, const wchar_t* command,
                                      AdapterListingForm form) {
  std::string output;
  if (services.commands.RunCommand(command, output) != 1) {
    return {};
  }
  return ParseAdapterListing(output, services.language, form);
}

}  // namespace

int ProbeNetworkCards(const AdapterProbeServices& services, std::vector<NetworkCard>& wired,
                      std::vector<NetworkCard>& wireless,
                      std::vector<NetworkCardSummary>& summaries, ProbeError* error) {
  wired.clear();
  wireless.clear();
  summaries.clear();

  // netsh lists no wired adapter while the wired auto-configuration service is stopped. Whether
  // it starts or already runs makes no difference here.
  services.commands.LaunchCommand(L"sc start dot3svc", 0);
  wired = ListAdapters(services, L"netsh lan show interface", AdapterListingForm::kWired);
  wireless = ListAdapters(services, L"netsh wlan show interface", AdapterListingForm::kWireless);

  std::string nicListing;
  if (services.wmi.Run(kNicQuery, nicListing) == 1) {
    ReadAdapterSpeeds(nicListing, wired);
    ReadAdapterSpeeds(nicListing, wireless);
  }

  AppendCardSummaries(wired, 1, summaries);
  AppendCardSummaries(wireless, 0, summaries);
  if (summaries.empty()) {
    SetError(error, kCommandFailed, kAdapterCommandFailedMessage);
    return 0;
  }
  return 1;
}

}  // namespace netprobe
