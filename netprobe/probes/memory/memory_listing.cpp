#include "probes/memory/memory_listing.h"

#include <cstdint>

#include "core/shared.h"

namespace netprobe {

namespace {

constexpr std::string_view kCapacityKey = "Capacity=";
constexpr std::string_view kSpeedKey = "Speed=";

// Modules sold as 2666 MHz report 2667; they count as the 2666 class they are rated for.
int NormaliseSpeed(int mhz) {
  return mhz == 2667 ? 2666 : mhz;
}

}  // namespace

int ParseMemoryModules(const std::string& listing, MemoryInfo& record) {
  ScanCursor cursor(listing);
  std::uint64_t sumMegabytes = 0;
  int lowest = 0;
  int count = 0;
  std::string value;
  for (bool found = cursor.MovePast(kCapacityKey); found; found = cursor.MovePast(kCapacityKey)) {
    if (!cursor.TakeLine(value)) {
      continue;  // A capacity cut short gives no size; the next search ends the loop.
    }
    const std::int64_t megabytes = AtoI64(value) / 1024 / 1024;
    // Below 1 MB is no usable module. A negative size (garbage) would also wrap the unsigned
    // sum, possibly to 0 with modules counted.
    if (megabytes <= 0) {
      continue;
    }
    sumMegabytes += static_cast<std::uint64_t>(megabytes);
    // The speed search moves the one cursor on, like every other key of the listing.
    if (cursor.EqualsValue(kSpeedKey, value)) {
      const int speed = NormaliseSpeed(AtoI(value));
      if (lowest < 1 || speed < lowest) {
        lowest = speed;
      }
    }
    ++count;
  }
  if (count < 1) {
    return 0;
  }
  record.memorySumSize = sumMegabytes;
  record.speed = lowest;
  record.memoryNumber = count;
  return 1;
}

}  // namespace netprobe
