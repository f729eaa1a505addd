// Reading the disk probe's command output: the wmic disk listing, PowerShell's physical-disk
// listing and WinSAT's disk assessment. Pure functions of the captured text.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "NetProbe.h"

namespace netprobe {

// A byte count as the disk records keep it: megabytes of 1,000,000 bytes, cut to a 32-bit value
// (wrapping as a 32-bit int does), then widened.
std::int64_t DecimalMegabytesOfDisk(std::int64_t bytes);

// "wmic diskdrive list full": one block of "Key=value" lines a disk. Appends every disk whose
// InterfaceType is not "USB", in listing order; true when at least one was appended. Stops at
// the first key it cannot find, keeping the disks read before it.
bool ParseDiskListing(std::string_view text, std::vector<DiskEntry>& disks);

// PowerShell "Get-PhysicalDisk|Select-Object *": one block of "Key : value" lines a disk.
// Appends every disk whose BusType is not "USB"; true when at least one was appended.
bool ParsePhysicalDiskListing(std::string_view text, std::vector<DiskEntry>& disks);

// "winsat disk": the assessment rating printed after the throughput on the sequential-read line.
// False when the line, its "MB/s" or its line end is missing.
bool ParseWinsatReadRating(std::string_view text, double& rating);

}  // namespace netprobe
