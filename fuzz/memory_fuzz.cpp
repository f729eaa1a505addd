// The memory module listing ("wmic memorychip list /format") on arbitrary bytes.
#include <cstdint>
#include <string>

#include "fuzz_check.h"
#include "probes/memory/memory_listing.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text = fuzz::Text(data, size);
  MemoryInfo record;
  record.memorySumSize = 77;
  record.speed = 77;
  record.memoryNumber = 77;
  record.memoryOccupancy = 55;
  const int counted = netprobe::ParseMemoryModules(text, record);
  FUZZ_CHECK(counted == 0 || counted == 1);
  // Fields other than the three totals are never written.
  FUZZ_CHECK(record.memoryOccupancy == 55 && record.memorySumSizeScore == 0 &&
             record.speedScore == 0 && record.memoryNumberScore == 0);
  if (counted == 0) {
    FUZZ_CHECK(record.memorySumSize == 77 && record.speed == 77 && record.memoryNumber == 77);
    return 0;
  }
  // Every module counted has its own "Capacity=" line and at least one megabyte.
  FUZZ_CHECK(record.memoryNumber >= 1);
  FUZZ_CHECK(static_cast<std::size_t>(record.memoryNumber) <= fuzz::CountOf(text, "Capacity="));
  FUZZ_CHECK(record.memorySumSize >= static_cast<std::uint64_t>(record.memoryNumber));

  MemoryInfo again;
  FUZZ_CHECK(netprobe::ParseMemoryModules(text, again) == 1);
  FUZZ_CHECK(again.memorySumSize == record.memorySumSize && again.speed == record.speed &&
             again.memoryNumber == record.memoryNumber);
  return 0;
}
