// The fixed rules that turn a measured value into a score. Stateless: any instance on any thread
// gives the same answers.
#pragma once

#include <cstdint>

namespace netprobe {

class Scorer {
 public:
  int ClockSpeed(int mhz) const;
  int Cores(int cores) const;
  int LogicalProcessors(int threads) const;
  int L2Cache(int kilobytes) const;
  int L3Cache(int kilobytes) const;
  int MemorySize(std::uint64_t megabytes) const;
  int MemoryModules(int modules) const;
  int MemorySpeed(int mhz) const;
  int MemoryOccupancy(int percent) const;
  int DiskSpeed(double winsatRating) const;
  int DiskSize(std::uint64_t decimalMegabytes) const;
  int SystemDiskFree(int percent) const;
  int HostToRouter(int lost, int averageMs) const;
  int LanDevices(int addresses) const;
  int DownloadSpeed(int mbps) const;
};

}  // namespace netprobe
