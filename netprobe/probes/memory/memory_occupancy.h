// How much of the installed memory is in use, from the system's memory status.
#pragma once

#include <cstdint>

namespace netprobe {

// Megabytes (of 1,048,576 bytes) in use: total minus available, each rounded down to whole
// megabytes first. 0 when the system reports more available than total.
std::uint64_t UsedMegabytes(std::uint64_t totalBytes, std::uint64_t availableBytes);

// `usedMegabytes` against the installed size from the module listing, as a whole percent: the
// ratio rounded to single precision, times 100, truncated. 0 when nothing is installed.
int OccupancyPercent(std::uint64_t usedMegabytes, std::uint64_t installedMegabytes);

}  // namespace netprobe
