// Whether a text read from tool output is a dotted IPv4 address. Such texts are put into
// "cmd /C" command lines, where anything else (a "&", a quote, a line end) would change the
// command, so only four decimal numbers of 0 to 255 joined by dots pass.
#pragma once

#include <cstddef>
#include <string_view>

namespace netprobe {

// "192.168.1.5" passes; "1.1.1.1&x", " 1.1.1.1", "1.1.1", "256.1.1.1", "1..1.1" do not.
// Each number has one to three digits (leading zeros allowed, as Windows' own tools accept).
inline bool IsDottedIPv4(std::string_view text) {
  int numbers = 0;
  std::size_t pos = 0;
  while (numbers < 4) {
    int value = 0;
    std::size_t digits = 0;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9' && digits < 4) {
      value = value * 10 + (text[pos] - '0');
      ++digits;
      ++pos;
    }
    if (digits == 0 || digits > 3 || value > 255) {
      return false;
    }
    ++numbers;
    if (numbers < 4) {
      if (pos >= text.size() || text[pos] != '.') {
        return false;
      }
      ++pos;
    }
  }
  return pos == text.size();
}

}  // namespace netprobe
