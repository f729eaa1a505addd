#include "probes/disk/disk_parsers.h"

#include <string>

#include "core/shared.h"

namespace netprobe {

namespace {

constexpr std::string_view kUsb = "USB";

}  // namespace

std::int64_t DecimalMegabytesOfDisk(std::int64_t bytes) {
  const std::int64_t megabytes = bytes / 1000 / 1000;
  // The record has always held a 32-bit count; keep its wrap-around explicit and well defined.
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(megabytes));
}

bool ParseDiskListing(std::string_view text, std::vector<DiskEntry>& disks) {
  ScanCursor cursor(text);
  bool found = false;
  std::string interfaceType;
  while (cursor.EqualsValue("InterfaceType=", interfaceType)) {
    if (interfaceType == kUsb) {
      continue;
    }
    DiskEntry disk;
    std::string size;
    // Keys come in alphabetical order; "Signature=" stands just before the disk's own "Size=",
    // so skipping it keeps "MaxMediaSize=" and the like from being read as the size.
    if (!cursor.EqualsValue("Model=", disk.hardDiskName) || !cursor.MovePast("Signature=") ||
        !cursor.EqualsValue("Size=", size)) {
      break;
    }
    disk.size = DecimalMegabytesOfDisk(AtoI64(size));
    disks.push_back(std::move(disk));
    found = true;
  }
  return found;
}

bool ParsePhysicalDiskListing(std::string_view text, std::vector<DiskEntry>& disks) {
  ScanCursor cursor(text);
  bool found = false;
  std::string busType;
  while (cursor.ColonValue("BusType", busType)) {
    if (busType == kUsb) {
      continue;
    }
    DiskEntry disk;
    std::string size;
    // "PhysicalSectorSize" precedes the disk's own "Size" line and would match it first.
    if (!cursor.ColonValue("Model", disk.hardDiskName) || !cursor.MoveTo("PhysicalSectorSize") ||
        !cursor.MovePast(":") || !cursor.ColonValue("Size", size)) {
      break;
    }
    disk.size = DecimalMegabytesOfDisk(AtoI64(size));
    disks.push_back(std::move(disk));
    found = true;
  }
  return found;
}

bool ParseWinsatReadRating(std::string_view text, double& rating) {
  ScanCursor cursor(text);
  std::string value;
  // Two blanks after "Disk": WinSAT pads its metric names into columns.
  if (!cursor.MovePast("Disk  Sequential 64.0 Read") || !cursor.MovePast("MB/s") ||
      !cursor.TakeLine(value)) {
    return false;
  }
  rating = AtoF(value);
  return true;
}

}  // namespace netprobe
