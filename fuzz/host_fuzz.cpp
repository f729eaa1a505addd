// The product listing ("wmic CSPRODUCT list full") on arbitrary bytes.
#include <cstdint>
#include <string>

#include "fuzz_check.h"
#include "probes/host/product_listing.h"

namespace {

HostInfo Untouched() {
  HostInfo info;
  info.hostTypeName = "model?";
  info.serialNumber = "serial?";
  info.manufacturer = "maker?";
  return info;
}

bool Same(const HostInfo& a, const HostInfo& b) {
  return a.hostTypeName == b.hostTypeName && a.serialNumber == b.serialNumber &&
         a.manufacturer == b.manufacturer;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text = fuzz::Text(data, size);
  HostInfo info = Untouched();
  const bool parsed = netprobe::ParseProductListing(text, info);
  if (!parsed) {
    // Without a complete serial number line nothing is written.
    FUZZ_CHECK(Same(info, Untouched()));
    return 0;
  }
  FUZZ_CHECK(text.find("IdentifyingNumber=") != std::string::npos);
  FUZZ_CHECK(fuzz::IsTrimmedLineValue(info.serialNumber) &&
             fuzz::IsCutFrom(text, info.serialNumber));
  // The model always comes from the listing (empty when its key is missing); the maker only
  // when a Vendor= line was found.
  FUZZ_CHECK(fuzz::IsTrimmedLineValue(info.hostTypeName) &&
             fuzz::IsCutFrom(text, info.hostTypeName));
  if (info.manufacturer != Untouched().manufacturer) {
    FUZZ_CHECK(fuzz::IsTrimmedLineValue(info.manufacturer) &&
               fuzz::IsCutFrom(text, info.manufacturer));
  }

  HostInfo again = Untouched();
  FUZZ_CHECK(netprobe::ParseProductListing(text, again) && Same(info, again));
  return 0;
}
