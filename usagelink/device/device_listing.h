// The product listing ("wmic csproduct list full") read for the device identity.
#pragma once

#include <string>

namespace usagelink {

struct DeviceFields {
  std::string pcModel;
  std::string manufacture;
  std::string serialNumber;
};

// One cursor in this order: IdentifyingNumber=, Vendor=, Version=. A missing key leaves its
// field unchanged; without IdentifyingNumber= nothing is set. The model is always Version=.
void ParseDeviceListing(const std::string& listing, DeviceFields& fields);

}  // namespace usagelink
