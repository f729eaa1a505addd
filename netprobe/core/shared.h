// The helpers NetProbe shares with the other modules (common/): text scanning and trims, number
// conversions, code pages. Their names are NetProbe's own names too, so its code calls them
// unqualified; this is the one place that brings them into the namespace.
#pragma once

#include "kestrel/codepage.h"
#include "kestrel/numbers.h"
#include "kestrel/text.h"

namespace netprobe {
using namespace kestrel;  // NOLINT(google-build-using-namespace)
}  // namespace netprobe
