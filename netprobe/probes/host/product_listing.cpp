#include "probes/host/product_listing.h"

#include <string_view>

#include "core/shared.h"

namespace netprobe {

namespace {

// The one maker that reports its marketing model as the product version, and the product name
// as a machine-type code.
constexpr std::string_view kVersionIsModelVendor = "TARVOS";

// ASCII only: the text may hold GBK bytes, which must not be touched by a locale's rules.
std::string AsciiUpper(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') {
      c = static_cast<char>(c - 'a' + 'A');
    }
  }
  return text;
}

}  // namespace

bool ParseProductListing(const std::string& text, HostInfo& info) {
  ScanCursor cursor(text);
  std::string serialNumber;
  if (!cursor.EqualsValue("IdentifyingNumber=", serialNumber)) {
    return false;
  }
  info.serialNumber = serialNumber;

  // The other keys are optional: a missing one leaves its text empty and the cursor in place.
  std::string name;
  std::string vendor;
  std::string version;
  cursor.EqualsValue("Name=", name);
  if (cursor.EqualsValue("Vendor=", vendor)) {
    info.manufacturer = vendor;
  }
  cursor.EqualsValue("Version=", version);

  const bool modelInVersion = AsciiUpper(vendor).find(kVersionIsModelVendor) != std::string::npos;
  info.hostTypeName = modelInVersion ? version : name;
  return true;
}

}  // namespace netprobe
