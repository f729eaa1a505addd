// The attribute values of the program's own controls. Their names are compared without regard
// to case (their tables use toolkit::AttrNames::kAnyCase).
#pragma once

#include <string>

namespace popups {

// Integer text, decimal or with a "0x" prefix; false (and `out` unchanged) when malformed.
inline bool ParseIntAttr(const std::wstring& text, int* out) {
  size_t start = 0;
  bool negative = false;
  if (start < text.size() && (text[start] == L'-' || text[start] == L'+'))
    negative = text[start++] == L'-';
  int base = 10;
  if (text.size() > start + 1 && text[start] == L'0' &&
      (text[start + 1] == L'x' || text[start + 1] == L'X')) {
    base = 16;
    start += 2;
  }
  if (start >= text.size())
    return false;
  long long value = 0;
  for (size_t i = start; i < text.size(); ++i) {
    int digit;
    wchar_t c = text[i];
    if (c >= L'0' && c <= L'9')
      digit = c - L'0';
    else if (base == 16 && c >= L'a' && c <= L'f')
      digit = c - L'a' + 10;
    else if (base == 16 && c >= L'A' && c <= L'F')
      digit = c - L'A' + 10;
    else
      return false;
    value = value * base + digit;
    if (value > 0x7fffffffLL)
      return false;
  }
  *out = static_cast<int>(negative ? -value : value);
  return true;
}

}  // namespace popups
