// One block of memory: a ring slot that owns its data, or a view of a device block.
#pragma once

#include <cstdint>

namespace micprobe {

class CBuffer {
 public:
  // Owns `size` fresh bytes (not cleared) when owns is set; on allocation failure the buffer
  // stays empty and lastError says so.
  CBuffer(std::uint32_t size, bool owns);
  // Views memory it does not own; a null pointer gives length 0.
  CBuffer(void* data, std::uint32_t size);
  virtual ~CBuffer();
  CBuffer(const CBuffer&) = delete;
  CBuffer& operator=(const CBuffer&) = delete;

  char* data = nullptr;
  std::uint32_t length = 0;
  std::uint32_t full = 0;  // a ring slot holds a captured block
  bool owns = false;
};

}  // namespace micprobe
