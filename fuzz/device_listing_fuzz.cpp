// UsageLink's reader of the product listing on arbitrary bytes: the keys taken in their order
// with one cursor, each value a trimmed line cut from the listing, and nothing set without a
// serial number line.
#include <cstdint>
#include <string>

#include "device/device_listing.h"
#include "fuzz_check.h"

namespace {

const usagelink::DeviceFields kBefore{"model?", "maker?", "serial?"};

bool Same(const usagelink::DeviceFields& a, const usagelink::DeviceFields& b) {
  return a.pcModel == b.pcModel && a.manufacture == b.manufacture &&
         a.serialNumber == b.serialNumber;
}

// A value the parser set: one trimmed line of the listing.
void CheckTaken(const std::string& text, const std::string& value) {
  FUZZ_CHECK(fuzz::IsTrimmedLineValue(value));
  FUZZ_CHECK(fuzz::IsCutFrom(text, value));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text = fuzz::Text(data, size);
  usagelink::DeviceFields fields = kBefore;
  usagelink::ParseDeviceListing(text, fields);

  const std::size_t serialKey = text.find("IdentifyingNumber=");
  if (serialKey == std::string::npos) {
    FUZZ_CHECK(Same(fields, kBefore));
    return 0;
  }
  CheckTaken(text, fields.serialNumber);
  // The cursor only moves forward: the maker's and the model's keys stand behind the serial's.
  const std::size_t afterSerial = serialKey + 18;
  if (fields.manufacture != kBefore.manufacture) {
    CheckTaken(text, fields.manufacture);
    FUZZ_CHECK(text.find("Vendor=", afterSerial) != std::string::npos);
  }
  if (fields.pcModel != kBefore.pcModel) {
    CheckTaken(text, fields.pcModel);
    FUZZ_CHECK(text.find("Version=", afterSerial) != std::string::npos);
  }

  usagelink::DeviceFields again = kBefore;
  usagelink::ParseDeviceListing(text, again);
  FUZZ_CHECK(Same(fields, again));
  return 0;
}
