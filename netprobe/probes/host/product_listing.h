// Reading the computer's product listing ("wmic CSPRODUCT list full"): one "Key=value" a line,
// keys in alphabetical order, scanned with one forward-moving cursor.
#pragma once

#include <string>

#include "NetProbe.h"

namespace netprobe {

// Scans for IdentifyingNumber=, Name=, Vendor= and Version=, in that order. Without a complete
// IdentifyingNumber line nothing is written and the result is false. Otherwise the serial number
// is written, the maker when a Vendor= line was found, and the model: the product version for a
// maker whose name contains "TARVOS" in any case (it keeps the model there), else the product
// name; empty when its key was missing.
bool ParseProductListing(const std::string& text, HostInfo& info);

}  // namespace netprobe
