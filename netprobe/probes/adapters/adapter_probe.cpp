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
std::vector<NetworkCard> ListAdapters(ProbeEngine& engine, const wchar_t* command,
                                      AdapterListingForm form) {
  std::string output;
  if (engine.platform().commands->RunCommand(command, output) != 1) {
    return {};
  }
  return ParseAdapterListing(output, engine.language, form);
}

}  // namespace

int ProbeNetworkCards(ProbeEngine& engine, ProbeError* error) {
  engine.wiredCards.clear();
  engine.wirelessCards.clear();
  engine.cardSummaries.clear();
  ICommandRunner& commands = *engine.platform().commands;

  // netsh lists no wired adapter while the wired auto-configuration service is stopped. Whether
  // it starts or already runs makes no difference here.
  commands.LaunchCommand(L"sc start dot3svc", 0);
  engine.wiredCards = ListAdapters(engine, L"netsh lan show interface", AdapterListingForm::kWired);
  engine.wirelessCards =
      ListAdapters(engine, L"netsh wlan show interface", AdapterListingForm::kWireless);

  std::string nicListing;
  if (engine.RunWmiQuery(kNicQuery, nicListing) == 1) {
    ReadAdapterSpeeds(nicListing, engine.wiredCards);
    ReadAdapterSpeeds(nicListing, engine.wirelessCards);
  }

  AppendCardSummaries(engine.wiredCards, 1, engine.cardSummaries);
  AppendCardSummaries(engine.wirelessCards, 0, engine.cardSummaries);
  if (engine.cardSummaries.empty()) {
    SetError(error, kCommandFailed, kAdapterCommandFailedMessage);
    return 0;
  }
  return 1;
}

}  // namespace netprobe
