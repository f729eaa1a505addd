// Version numbers as the tool and the server's options write them: dotted decimals.
#pragma once

#include <optional>
#include <string>

namespace kestrel::server {

// Dotted decimal versions, missing parts counting as 0: -1, 0 or 1 as `a` is older, the same
// or newer than `b`; nothing when either is not dotted digits.
std::optional<int> CompareVersions(const std::string& a, const std::string& b);

}  // namespace kestrel::server
