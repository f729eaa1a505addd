#include "probes/host/product_listing.h"

#include <string_view>

#include "core/shared.h"
#include "kestrel/ascii.h"

namespace netprobe {

namespace {

// The one maker that reports its marketing model as the product version, and the product name
// as a machine-type code.
constexpr std::string_view kVersionIsModelVendor = "TARVOS";

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

  // ASCII case only: the vendor may hold GBK bytes, which a locale's rules must not touch.
  const bool modelInVersion = ContainsNoCase(vendor, kVersionIsModelVendor);
  info.hostTypeName = modelInVersion ? version : name;
  return true;
}

}  // namespace netprobe
