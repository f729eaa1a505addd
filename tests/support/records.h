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

}  // namespace kestrel::test
