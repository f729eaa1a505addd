// Counts open connections per client address and in all, so that one address (or everyone)
// cannot hold more than its share. Taken by the accepting thread, given back by whichever thread
// closes the connection.
#pragma once

#include <cstddef>
#include <mutex>
#include <string>
#include <unordered_map>

namespace kestrel::server {

class AddressSlots {
 public:
  AddressSlots(std::size_t total, std::size_t perAddress)
      : total_(total), perAddress_(perAddress) {}

  // False when the address or the server already holds as many connections as allowed.
  bool Take(const std::string& address);
  void Give(const std::string& address);
  std::size_t InUse() const;
  std::size_t InUse(const std::string& address) const;

 private:
  const std::size_t total_;
  const std::size_t perAddress_;
  mutable std::mutex mutex_;
  std::unordered_map<std::string, std::size_t> counts_;
  std::size_t inUse_ = 0;
};

}  // namespace kestrel::server
