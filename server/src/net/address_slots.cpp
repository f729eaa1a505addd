#include "address_slots.h"

namespace kestrel::server {

bool AddressSlots::Take(const std::string& address) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (inUse_ >= total_) {
    return false;
  }
  std::size_t& n = counts_[address];
  if (n >= perAddress_) {
    if (n == 0) {
      counts_.erase(address);
    }
    return false;
  }
  ++n;
  ++inUse_;
  return true;
}

void AddressSlots::Give(const std::string& address) {
  std::lock_guard<std::mutex> lock(mutex_);
  const auto it = counts_.find(address);
  if (it == counts_.end()) {
    return;
  }
  --inUse_;
  if (--it->second == 0) {
    counts_.erase(it);
  }
}

std::size_t AddressSlots::InUse() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return inUse_;
}

std::size_t AddressSlots::InUse(const std::string& address) const {
  std::lock_guard<std::mutex> lock(mutex_);
  const auto it = counts_.find(address);
  return it == counts_.end() ? 0 : it->second;
}

}  // namespace kestrel::server
