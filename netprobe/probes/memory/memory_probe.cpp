#include "probes/memory/memory_probe.h"

#include <cstdint>
#include <string>

#include "core/probe_error.h"
#include "core/wmi_query.h"
#include "probes/memory/memory_listing.h"
#include "probes/memory/memory_occupancy.h"

namespace netprobe {

namespace {

// The switch stands without a format name: wmic then prints one "key=value" line per property.
constexpr WmiQuery kModulesQuery{
    L"wmic memorychip list /format",
    KESTREL_CIM_LISTING(L"Win32_PhysicalMemory", L"'Capacity', 'Speed'")};

}  // namespace

int ProbeMemory(WmiRunner& wmi, ISystemInfo& system, const Scorer& scorer, MemoryInfo& info,
                ProbeError* error) {
  // A failed command or listing leaves the record all zero, never half of an earlier one.
  info = MemoryInfo{};

  std::string listing;
  if (wmi.Run(kModulesQuery, listing) == 0) {
    SetError(error, kCommandFailed, kMemoryCommandFailedMessage);
    return 0;
  }
  MemoryInfo record;
  if (ParseMemoryModules(listing, record) == 0) {
    SetError(error, kAnswerUnreadable, "解析内存信息失败");
    return 0;
  }

  // Without the system's memory status nothing is known to be in use: occupancy stays 0 rather
  // than being computed from undefined figures.
  std::uint64_t totalBytes = 0;
  std::uint64_t availableBytes = 0;
  if (system.MemoryStatus(totalBytes, availableBytes)) {
    // Against the installed size from the listing, not the total the system can address.
    record.memoryOccupancy =
        OccupancyPercent(UsedMegabytes(totalBytes, availableBytes), record.memorySumSize);
  }

  record.memorySumSizeScore = scorer.MemorySize(record.memorySumSize);
  record.speedScore = scorer.MemorySpeed(record.speed);
  record.memoryNumberScore = scorer.MemoryModules(record.memoryNumber);
  record.memoryOccupancyScore = scorer.MemoryOccupancy(record.memoryOccupancy);

  info = record;
  return 1;
}

}  // namespace netprobe
