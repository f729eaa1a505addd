#include "dll/instance.h"

namespace usagelink {

namespace {
std::unique_ptr<UsageLink>& Slot() {
  static std::unique_ptr<UsageLink> slot;
  return slot;
}
}  // namespace

UsageLink* Instance() noexcept {
  return Slot().get();
}

void InstallInstance(std::unique_ptr<UsageLink> link) noexcept {
  Slot() = std::move(link);
}

}  // namespace usagelink
