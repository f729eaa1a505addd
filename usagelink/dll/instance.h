// The one UsageLink object of the process, installed by the DLL's initialiser (or a test).
#pragma once

#include <memory>

#include "dll/usage_link.h"

namespace usagelink {

UsageLink* Instance() noexcept;
void InstallInstance(std::unique_ptr<UsageLink> link) noexcept;

}  // namespace usagelink
