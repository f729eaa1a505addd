// The connection name netsh knows an adapter by, found from the description the probes report.
#pragma once

#include <string>

#include "core/platform.h"

namespace netprobe {

// The friendly name (ANSI code page) of the system adapter whose description contains
// `description`; the last such adapter wins. False when none matches or the list cannot be had.
bool FindAdapterFriendlyName(IAdapterNames* adapters, const ICodePage& pages,
                             const std::string& description, std::string& name);

}  // namespace netprobe
