#include "core/ipv4.h"

namespace netprobe {

bool IsDottedIPv4(std::string_view text) {
  int parts = 0;
  std::size_t i = 0;
  while (true) {
    const std::size_t start = i;
    int value = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9' && i - start < 3) {
      value = value * 10 + (text[i] - '0');
      ++i;
    }
    const std::size_t digits = i - start;
    if (digits == 0 || value > 255 || (digits > 1 && text[start] == '0')) {
      return false;
    }
    ++parts;
    if (parts == 4) {
      return i == text.size();
    }
    if (i >= text.size() || text[i] != '.') {
      return false;
    }
    ++i;
  }
}

}  // namespace netprobe
