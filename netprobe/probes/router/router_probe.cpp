#include "probes/router/router_probe.h"

#include <string>
#include <vector>

#include "core/probe_error.h"
#include "probes/dns/dns_parsers.h"
#include "probes/dns/ping_command.h"

namespace netprobe {

namespace {

void MeasureAdapters(ICommandRunner& commands, const Scorer& scorer,
                     const std::vector<NetworkCard>& cards,
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
    if (command.empty() || commands.RunCommand(command, output) != 1) {
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
    entry.hostToRouterScore = scorer.HostToRouter(entry.lost, entry.average);
    entries.push_back(entry);
  }
}

}  // namespace

int ProbeRouterDelay(ICommandRunner& commands, const Scorer& scorer,
                     const std::vector<NetworkCard>& wired,
                     const std::vector<NetworkCard>& wireless,
                     std::vector<RouterDelayEntry>& wiredDelays,
                     std::vector<RouterDelayEntry>& wirelessDelays, ProbeError* error) {
  if (wired.empty() && wireless.empty()) {
    SetError(error, kRouterNoAdapters, kRouterNoAdaptersMessage);
    return 0;
  }
  wiredDelays.clear();
  wirelessDelays.clear();
  MeasureAdapters(commands, scorer, wired, wiredDelays);
  MeasureAdapters(commands, scorer, wireless, wirelessDelays);
  if (wiredDelays.empty() && wirelessDelays.empty()) {
    SetError(error, kRouterNoEntry, kRouterNoEntryMessage);
    return 0;
  }
  return 1;
}

}  // namespace netprobe
