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

// Starts the ping of address `n` under `prefix`, or marks its job finished and not started when
// no thread could be had, so that the wait treats every failure to start alike.
void StartPing(ICommandRunner& commands, BackgroundJob& job, const std::wstring& prefix, int n) {
  bool started = false;
  try {
    started =
        RunCommandInBackground(commands, job, L"ping " + prefix + std::to_wstring(n) + L" -n 1");
  } catch (...) {
    // Out of memory before the thread began. Leaving here would free jobs that running threads
    // still write to, so this job counts as finished and the wait goes on.
  }
  if (!started) {
    job.started.store(0);
    job.finished.store(1);  // no thread: nothing to wait for
  }
}

// One ping to each of the 256 addresses at once, waited for until every one has ended. A ping
// that did not start (no thread, no cmd process, or cmd could not start the tool: a busy machine
// now and then refuses a process) is started again after at least one pause, up to
// kSweepStartAttempts times in all. The jobs live until the wait ends: their threads write to
// them. Returns how many addresses were never pinged.
int Sweep(const LanProbeServices& services, const std::string& sweepPrefix) {
  ICommandRunner& commands =
      services.sweepCommands != nullptr ? *services.sweepCommands : services.commands;
  const std::unique_ptr<BackgroundJob[]> jobs(new BackgroundJob[kSweepSize]);
  std::vector<int> attempts(kSweepSize, 1);
  std::vector<bool> retryDue(kSweepSize, false);
  const std::wstring prefix(sweepPrefix.begin(), sweepPrefix.end());  // digits and dots
  for (int n = 0; n < kSweepSize; ++n) {
    StartPing(commands, jobs[n], prefix, n);
  }
  int unswept = 0;
  for (;;) {
    bool waiting = false;
    unswept = 0;
    for (int n = 0; n < kSweepSize; ++n) {
      if (jobs[n].finished.load() != 1) {
        waiting = true;
      } else if (jobs[n].started.load() != 1) {
        if (attempts[n] < kSweepStartAttempts) {
          retryDue[n] = true;
          waiting = true;
        } else {
          ++unswept;
        }
      }
    }
    if (!waiting) {
      return unswept;
    }
    services.clock.SleepMilliseconds(kSweepPollMilliseconds);
    for (int n = 0; n < kSweepSize; ++n) {
      if (retryDue[n]) {
        retryDue[n] = false;
        ++attempts[n];
        StartPing(commands, jobs[n], prefix, n);
      }
    }
  }
}

// Sweeps each adapter with a dotted IPv4 address; `unswept` receives each card's count.
void SweepAdapters(const LanProbeServices& services, std::vector<NetworkCard>& cards,
                   std::vector<int>& unswept) {
  unswept.assign(cards.size(), 0);
  for (std::size_t i = 0; i < cards.size(); ++i) {
    NetworkCard& card = cards[i];
    // The address goes into 256 command lines: only a dotted IPv4 address is swept.
    std::string sweepPrefix;
    std::string networkPrefix;
    if (card.ipAddress.empty() || !IsDottedIPv4(card.ipAddress) ||
        !ComputeNetworkPrefix(card.ipAddress, sweepPrefix, networkPrefix)) {
      continue;
    }
    card.networkPrefix = networkPrefix;
    unswept[i] = Sweep(services, sweepPrefix);
  }
}

// Hands each entry its adapter's count. The entries follow the cards' order, skipping cards the
// listing had nothing for, so one forward walk pairs them.
void NoteUnswept(const std::vector<NetworkCard>& cards, const std::vector<int>& unswept,
                 std::vector<LanDevicesEntry>& entries) {
  std::size_t card = 0;
  for (LanDevicesEntry& entry : entries) {
    while (card < cards.size() && (cards[card].description != entry.networkCardName ||
                                   cards[card].networkPrefix.size() <= 1)) {
      ++card;
    }
    if (card == cards.size()) {
      return;
    }
    entry.unsweptAddresses = unswept[card++];
  }
}

}  // namespace

int ProbeLanDevices(const LanProbeServices& services, std::vector<NetworkCard>& wired,
                    std::vector<NetworkCard>& wireless, std::vector<LanDevicesEntry>& wiredDevices,
                    std::vector<LanDevicesEntry>& wirelessDevices, ProbeError* error) {
  if (wired.empty() && wireless.empty()) {
    SetError(error, kLanNoAdapters, kLanNoAdaptersMessage);
    return 0;
  }
  wiredDevices.clear();
  wirelessDevices.clear();
  std::vector<int> unsweptWired;
  std::vector<int> unsweptWireless;
  SweepAdapters(services, wired, unsweptWired);
  SweepAdapters(services, wireless, unsweptWireless);

  std::string table;
  if (services.commands.RunCommand(L"arp -a", table) != 1) {
    SetError(error, kLanArpFailed, kLanFailedMessage);
    return 0;
  }
  ParseArpTable(table, wired, wireless, services.language, wiredDevices, wirelessDevices);
  NoteUnswept(wired, unsweptWired, wiredDevices);
  NoteUnswept(wireless, unsweptWireless, wirelessDevices);
  if (wiredDevices.empty() && wirelessDevices.empty()) {
    SetError(error, kLanNothingFound, kLanFailedMessage);
    return 0;
  }
  return 1;
}

}  // namespace netprobe
