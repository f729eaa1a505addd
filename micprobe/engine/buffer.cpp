#include "engine/buffer.h"

#include <new>

#include "core/engine_error.h"
#include "core/messages.h"

namespace micprobe {

CBuffer::CBuffer(std::uint32_t size, bool ownsData) : owns(ownsData) {
  data = new (std::nothrow) char[size];
  if (data == nullptr) {
    RecordEngineError(text::kOutOfMemory);
    owns = false;
    return;
  }
  length = size;
}

CBuffer::CBuffer(void* view, std::uint32_t size)
    : data(static_cast<char*>(view)), length(view == nullptr ? 0 : size) {}

CBuffer::~CBuffer() {
  if (owns) {
    delete[] data;
  }
}

}  // namespace micprobe
