// The connection name ("Ethernet", "以太网") of an adapter known by its description.
#pragma once

#include <string>

#include "core/platform.h"

namespace netprobe {

// Walks the whole adapter table: the last adapter whose description, in the ANSI code page,
// contains `description` gives its friendly name. False when none matches, when `description`
// is empty or when the table cannot be read.
bool FindAdapterFriendlyName(IAdapterTable& table, const ICodePage& codePage,
                             const std::string& description, std::string& friendlyName);

}  // namespace netprobe
