#include "device/device_listing.h"

#include "kestrel/text.h"

namespace usagelink {

void ParseDeviceListing(const std::string& listing, DeviceFields& fields) {
  const std::string text = listing + "\r\n";  // the last line counts even without its end
  kestrel::ScanCursor cursor(text);
  if (!cursor.EqualsValue("IdentifyingNumber=", fields.serialNumber)) {
    return;
  }
  cursor.EqualsValue("Vendor=", fields.manufacture);
  cursor.EqualsValue("Version=", fields.pcModel);
}

}  // namespace usagelink
