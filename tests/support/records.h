// The library's records as plain values, so that one comparison checks a whole record and a
// mismatch shows all of it. Header-only: the tests of the real DLL use it too.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "NetProbe.h"

namespace kestrel::test {

// Each disk as its name and size in megabytes.
using Disks = std::vector<std::pair<std::string, std::int64_t>>;

inline Disks NamesAndSizes(const std::vector<DiskEntry>& entries) {
  Disks disks;
  for (const DiskEntry& entry : entries) {
    disks.emplace_back(entry.hardDiskName, entry.size);
  }
  return disks;
}

// Each summary as "name|speed|signal|isWired".
inline std::vector<std::string> Describe(const std::vector<NetworkCardSummary>& summaries) {
  std::vector<std::string> described;
  for (const NetworkCardSummary& s : summaries) {
    described.push_back(s.networkCardName + "|" + std::to_string(s.networkCardSpeed) + "|" +
                        std::to_string(s.signalValue) + "|" + std::to_string(s.isWired));
  }
  return described;
}

// Clock, cores, threads, L2 and L3, each followed by its score.
inline std::vector<int> CpuNumbers(const CpuInfo& info) {
  return {
      info.maxClockSpeed,      info.maxClockSpeedScore,        info.numberOfCores,
      info.numberOfCoresScore, info.numberOfLogicalProcessors, info.numberOfLogicalProcessorsScore,
      info.l2CacheSize,        info.l2CacheSizeScore,          info.l3CacheSize,
      info.l3CacheSizeScore};
}

// Every field of the record, in its order.
inline std::vector<std::uint64_t> MemoryNumbers(const MemoryInfo& info) {
  return {info.memorySumSize,
          static_cast<std::uint64_t>(info.memorySumSizeScore),
          static_cast<std::uint64_t>(info.speed),
          static_cast<std::uint64_t>(info.speedScore),
          static_cast<std::uint64_t>(info.memoryOccupancy),
          static_cast<std::uint64_t>(info.memoryOccupancyScore),
          static_cast<std::uint64_t>(info.memoryNumber),
          static_cast<std::uint64_t>(info.memoryNumberScore)};
}

// Each result as "address min/max/avg lost".
inline std::string DescribeResults(const std::vector<DnsProbeResult>& results) {
  std::string text;
  for (const DnsProbeResult& r : results) {
    text += (text.empty() ? "" : ", ") + r.dnsAddress + " " + std::to_string(r.minimum) + "/" +
            std::to_string(r.maximum) + "/" + std::to_string(r.average) + " " +
            std::to_string(r.lost);
  }
  return text;
}

// Each entry as "name|source|local results|test results", wired entries first, then
// "optimize=N".
inline std::vector<std::string> Describe(const DnsTestInfo& info) {
  std::vector<std::string> described;
  for (const auto* entries : {&info.wiredEntries, &info.wirelessEntries}) {
    for (const DnsTestEntry& e : *entries) {
      described.push_back(e.networkCardName + "|" + e.ipAddress + "|" +
                          DescribeResults(e.localDns) + "|" + DescribeResults(e.testDns));
    }
  }
  described.push_back("optimize=" + std::to_string(info.optimize));
  return described;
}

// Each entry as "name|source|gateway|min/max/avg|lost|score".
inline std::vector<std::string> Describe(const std::vector<RouterDelayEntry>& entries) {
  std::vector<std::string> described;
  for (const RouterDelayEntry& e : entries) {
    described.push_back(e.networkCardName + "|" + e.ipAddress + "|" + e.defaultIPGateway + "|" +
                        std::to_string(e.minimum) + "/" + std::to_string(e.maximum) + "/" +
                        std::to_string(e.average) + "|" + std::to_string(e.lost) + "|" +
                        std::to_string(e.hostToRouterScore));
  }
  return described;
}

// Each entry as "name|address address ...|score".
inline std::vector<std::string> Describe(const std::vector<LanDevicesEntry>& entries) {
  std::vector<std::string> described;
  for (const LanDevicesEntry& e : entries) {
    std::string addresses;
    for (const std::string& a : e.devicesAddress) {
      addresses += (addresses.empty() ? "" : " ") + a;
    }
    described.push_back(e.networkCardName + "|" + addresses + "|" +
                        std::to_string(e.numberLanDevicesScore));
  }
  return described;
}

}  // namespace kestrel::test
