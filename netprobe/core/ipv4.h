// Whether a text read from tool output is a dotted IPv4 address. Such texts are put into
// "cmd /C" command lines, where anything else (a "&", a quote, a line end) would change the
// command, so only four decimal numbers of 0 to 255 joined by dots pass.
#pragma once

#include <cstddef>
#include <string_view>

namespace netprobe {

// "192.168.1.5" passes; "1.1.1.1&x", " 1.1.1.1", "1.1.1", "256.1.1.1", "1..1.1" do not.
// Each number has one to three digits and no leading zero ("010" is refused: some readers take
// it as octal, so it would name another address).
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
    const bool leadingZero = digits > 1 && text[pos - digits] == '0';
    if (digits == 0 || digits > 3 || value > 255 || leadingZero) {
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
