#include "core/response_buffer.h"

#include <cstring>

namespace usagelink {

void ResponseBuffer::Clear() {
  std::memset(bytes_, 0, sizeof(bytes_));
  fill_ = 0;
}

bool ResponseBuffer::Append(const char* data, std::size_t size) {
  // Written as a subtraction so a huge `size` cannot wrap the sum.
  if (data == nullptr || size >= kCapacity - fill_) {
    return false;
  }
  std::memcpy(bytes_ + fill_, data, size);
  fill_ += size;
  bytes_[fill_] = '\0';
  return true;
}

}  // namespace usagelink
