// The tool's start-up version check: is the caller's version the current one, and where is the
// newer one. The route adds the stall; everything else is decided here.
#pragma once

#include <string>

#include "core/test_modes.h"
#include "core/versions.h"
#include "tool_json.h"

namespace kestrel::server {

inline constexpr int kVersionCurrentCode = 200;
inline constexpr int kVersionNewerCode = 202;
inline constexpr int kVersionBadRequestCode = 400;

// The answer to the request body `body`. A newer `current` gives 202 with `downloadUrl` in
// "data"; `mode` bends the answer the way a faulty service would.
ToolAnswer AnswerVersionCheck(const std::string& body, const std::string& current,
                              const std::string& downloadUrl, VersionMode mode);

}  // namespace kestrel::server
