#include "probes/lan/lan_probe.h"

#include <memory>
#include <string>
#include <vector>

#include "core/background_job.h"
#include "core/ipv4.h"
#include "core/probe_error.h"
#include "probes/lan/lan_parsers.h"

namespace netprobe {

namespace {

bool AllFinished(const BackgroundJob* jobs) {
  for (int n = 0; n < kSweepSize; ++n) {
    if (jobs[n].finished.load() != 1) {
      return false;
    }
  }
  return true;
}

// One ping to each of the 256 addresses at once, waited for until every one has ended. The jobs
// live until then: their threads write to them.
void Sweep(ProbeEngine& engine, const std::string& sweepPrefix) {
  ICommandRunner& commands = *engine.platform().commands;
  const std::unique_ptr<BackgroundJob[]> jobs(new BackgroundJob[kSweepSize]);
  const std::wstring prefix(sweepPrefix.begin(), sweepPrefix.end());  // digits and dots
  for (int n = 0; n < kSweepSize; ++n) {
    bool started = false;
    try {
      started = RunCommandInBackground(commands, jobs[n],
                                       L"ping " + prefix + std::to_wstring(n) + L" -n 1");
    } catch (...) {
      // Out of memory before the thread began. Leaving here would free jobs that running
      // threads still write to, so this job counts as finished and the wait goes on.
    }
    if (!started) {
      jobs[n].finished.store(1);  // never started: nothing to wait for
    }
  }
  while (!AllFinished(jobs.get())) {
    engine.platform().clock->SleepMilliseconds(kSweepPollMilliseconds);
  }
}

void SweepAdapters(ProbeEngine& engine, std::vector<NetworkCard>& cards) {
  for (NetworkCard& card : cards) {
    // The address goes into 256 command lines: only a dotted IPv4 address is swept.
    std::string sweepPrefix;
    std::string networkPrefix;
    if (card.ipAddress.empty() || !IsDottedIPv4(card.ipAddress) ||
        !ComputeNetworkPrefix(card.ipAddress, sweepPrefix, networkPrefix)) {
      continue;
    }
    card.networkPrefix = networkPrefix;
    Sweep(engine, sweepPrefix);
  }
}

}  // namespace

int ProbeLanDevices(ProbeEngine& engine, ProbeError* error) {
  if (engine.wiredCards.empty() && engine.wirelessCards.empty()) {
    SetError(error, kLanNoAdaptersCode, kLanNoAdaptersMessage);
    return 0;
  }
  engine.lanDevicesWired.clear();
  engine.lanDevicesWireless.clear();
  SweepAdapters(engine, engine.wiredCards);
  SweepAdapters(engine, engine.wirelessCards);

  std::string table;
  if (engine.platform().commands->RunCommand(L"arp -a", table) != 1) {
    SetError(error, kLanArpFailedCode, kLanFailedMessage);
    return 0;
  }
  ParseArpTable(table, engine.wiredCards, engine.wirelessCards, engine.language,
                engine.lanDevicesWired, engine.lanDevicesWireless);
  if (engine.lanDevicesWired.empty() && engine.lanDevicesWireless.empty()) {
    SetError(error, kLanNothingFoundCode, kLanFailedMessage);
    return 0;
  }
  return 1;
}

}  // namespace netprobe
