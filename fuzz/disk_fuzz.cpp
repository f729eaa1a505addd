// The disk probe's readers on arbitrary bytes: every input goes through the wmic disk listing,
// PowerShell's physical-disk listing and WinSAT's rating.
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/shared.h"
#include "fuzz_check.h"
#include "probes/disk/disk_parsers.h"

namespace {

using ListingParser = bool (*)(std::string_view, std::vector<DiskEntry>&);

// The disks already in the list stay as they were; each one appended names a non-USB disk of
// the text, and the result says whether any was appended.
void CheckListing(ListingParser parse, const std::string& text, std::string_view busKey) {
  std::vector<DiskEntry> disks(1);
  disks[0].hardDiskName = "earlier disk";
  disks[0].size = 42;
  const bool found = parse(text, disks);
  FUZZ_CHECK(disks[0].hardDiskName == "earlier disk" && disks[0].size == 42);
  FUZZ_CHECK(found == (disks.size() > 1));
  FUZZ_CHECK(disks.size() - 1 <= fuzz::CountOf(text, busKey));
  for (std::size_t i = 1; i < disks.size(); ++i) {
    FUZZ_CHECK(fuzz::IsTrimmedLineValue(disks[i].hardDiskName));
    FUZZ_CHECK(fuzz::IsCutFrom(text, disks[i].hardDiskName));
    FUZZ_CHECK(disks[i].size >= INT32_MIN && disks[i].size <= INT32_MAX);
  }

  std::vector<DiskEntry> again;
  FUZZ_CHECK(parse(text, again) == found && again.size() == disks.size() - 1);
  for (std::size_t i = 0; i < again.size(); ++i) {
    FUZZ_CHECK(again[i].hardDiskName == disks[i + 1].hardDiskName &&
               again[i].size == disks[i + 1].size);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text = fuzz::Text(data, size);
  CheckListing(&netprobe::ParseDiskListing, text, "InterfaceType=");
  CheckListing(&netprobe::ParsePhysicalDiskListing, text, "BusType");

  double rating = -1.5;
  if (netprobe::ParseWinsatReadRating(text, rating)) {
    FUZZ_CHECK(std::isfinite(rating));
    FUZZ_CHECK(text.find("MB/s") != std::string::npos);
  } else {
    FUZZ_CHECK(rating == -1.5);
  }

  // Whatever the byte count, the megabytes stay a 32-bit figure.
  const std::int64_t megabytes = netprobe::DecimalMegabytesOfDisk(netprobe::AtoI64(text));
  FUZZ_CHECK(megabytes >= INT32_MIN && megabytes <= INT32_MAX);
  return 0;
}
