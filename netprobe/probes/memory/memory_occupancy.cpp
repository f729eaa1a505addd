#include "probes/memory/memory_occupancy.h"

#include <limits>

namespace netprobe {

namespace {

constexpr std::uint64_t kBytesPerMegabyte = 1024 * 1024;

}  // namespace

std::uint64_t UsedMegabytes(std::uint64_t totalBytes, std::uint64_t availableBytes) {
  const std::uint64_t total = totalBytes / kBytesPerMegabyte;
  const std::uint64_t available = availableBytes / kBytesPerMegabyte;
  return available > total ? 0 : total - available;
}

int OccupancyPercent(std::uint64_t usedMegabytes, std::uint64_t installedMegabytes) {
  if (installedMegabytes == 0) {
    return 0;
  }
  // Single precision is part of the result (29 MB of 100 reads 29, not 28). The volatile stores
  // make each step round to float also where x87 would keep wider intermediates (i686).
  const volatile float ratio = static_cast<float>(static_cast<double>(usedMegabytes) /
                                                  static_cast<double>(installedMegabytes));
  const volatile float percent = ratio * 100.0f;
  // More in use than installed (a listing that missed modules) can exceed any int.
  if (percent >= static_cast<float>(std::numeric_limits<int>::max())) {
    return std::numeric_limits<int>::max();
  }
  return static_cast<int>(percent);
}

}  // namespace netprobe
