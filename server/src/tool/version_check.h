// The tool's start-up version check: is the caller's version the current one, and where is the
// newer one. The route adds the stall; everything else is decided here.
#pragma once

#include <optional>
#include <string>

#include "test_modes.h"
#include "tool_json.h"

namespace kestrel::server {

inline constexpr int kVersionCurrentCode = 200;
inline constexpr int kVersionNewerCode = 202;
inline constexpr int kVersionBadRequestCode = 400;

// Dotted decimal versions, missing parts counting as 0: -1, 0 or 1 as `a` is older, the same
// or newer than `b`; nothing when either is not dotted digits.
std::optional<int> CompareVersions(const std::string& a, const std::string& b);

// The answer to the request body `body`. A newer `current` gives 202 with `downloadUrl` in
// "data"; `mode` bends the answer the way a faulty service would.
ToolAnswer AnswerVersionCheck(const std::string& body, const std::string& current,
                              const std::string& downloadUrl, VersionMode mode);

}  // namespace kestrel::server
