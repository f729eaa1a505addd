// Reading the memory modules out of a "wmic memorychip list /format" listing. A pure function of
// the text, so it is tested against recorded listings directly.
#pragma once

#include <string>

#include "NetProbe.h"

namespace netprobe {

// Fills `record`'s memorySumSize (MB over the modules), speed (the slowest module's MHz) and
// memoryNumber (modules counted) from the listing; the other fields are left alone. A module
// whose capacity is not a positive size in MB (0, missing, cut short) is neither summed nor
// counted. 1 when at least one module was counted, else 0.
int ParseMemoryModules(const std::string& listing, MemoryInfo& record);

}  // namespace netprobe
