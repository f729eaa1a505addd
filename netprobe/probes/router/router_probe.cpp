#include "probes/router/router_probe.h"

#include <string>
#include <vector>

#include "core/probe_error.h"
#include "probes/dns/dns_parsers.h"
#include "probes/dns/ping_command.h"

namespace netprobe {

namespace {

void MeasureAdapters(ProbeEngine& engine, const std::vector<NetworkCard>& cards,
                     std::vector<RouterDelayEntry>& entries) {
  for (const NetworkCard& card : cards) {
    if (card.ipAddress.empty()) {
      continue;
    }
    // An adapter without a gateway is still pinged (the command then has no target and prints
    // no statistics); a gateway or address unfit for a command line is not run at all.
    const std::wstring command =
        PingFromCommand(card.defaultIPGateway, card.ipAddress, L" -n 10", true);
    std::string output;
    if (command.empty() || engine.platform().commands->RunCommand(command, output) != 1) {
      continue;
    }
    DnsProbeResult statistics;
    ParsePingStatistics(output, statistics);
    RouterDelayEntry entry;
    entry.networkCardName = card.description;
    entry.ipAddress = card.ipAddress;
    entry.defaultIPGateway = card.defaultIPGateway;
    entry.minimum = statistics.minimum;
    entry.maximum = statistics.maximum;
    entry.average = statistics.average;
    entry.lost = statistics.lost;
    entry.hostToRouterScore = engine.scorer.HostToRouter(entry.lost, entry.average);
    entries.push_back(entry);
  }
}

}  // namespace

int ProbeRouterDelay(ProbeEngine& engine, ProbeError* error) {
  if (engine.wiredCards.empty() && engine.wirelessCards.empty()) {
    SetError(error, kRouterNoAdapters, kRouterNoAdaptersMessage);
    return 0;
  }
  engine.routerDelayWired.clear();
  engine.routerDelayWireless.clear();
  MeasureAdapters(engine, engine.wiredCards, engine.routerDelayWired);
  MeasureAdapters(engine, engine.wirelessCards, engine.routerDelayWireless);
  if (engine.routerDelayWired.empty() && engine.routerDelayWireless.empty()) {
    SetError(error, kRouterNoEntry, kRouterNoEntryMessage);
    return 0;
  }
  return 1;
}

}  // namespace netprobe
