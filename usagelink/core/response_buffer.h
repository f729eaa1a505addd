// The one response buffer of the requests: at most 1 MiB - 1 bytes of what the server sends,
// always zero-terminated. A chunk that would reach 1 MiB is dropped whole, so nothing a server
// sends can write past the buffer.
#pragma once

#include <cstddef>
#include <string_view>

namespace usagelink {

class ResponseBuffer {
 public:
  static constexpr std::size_t kCapacity = 1024 * 1024;  // bytes kept stay below this

  void Clear();
  // False (buffer unchanged) when the chunk does not fit.
  bool Append(const char* data, std::size_t size);
  std::string_view Text() const { return std::string_view(bytes_, fill_); }
  std::size_t size() const { return fill_; }

 private:
  char bytes_[kCapacity + 1] = {};
  std::size_t fill_ = 0;
};

}  // namespace usagelink
