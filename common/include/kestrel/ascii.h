// ASCII-only case folding for protocol and command words (tool names, URL schemes, header
// names, wmic's complaint): unlike std::tolower it never depends on the C locale and leaves
// every byte outside A-Z alone, so GBK lead and trail bytes pass unchanged.
#pragma once

#include <string>
#include <string_view>

namespace kestrel {

constexpr char AsciiLower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string AsciiLower(std::string text);

// True when `text` begins with `prefix`, the two compared without ASCII case.
bool StartsWithNoCase(std::string_view text, std::string_view prefix);

// True when `a` and `b` are the same text but for ASCII case.
bool EqualsNoCase(std::string_view a, std::string_view b);

// True when `part` stands anywhere in `text`, the two compared without ASCII case.
bool ContainsNoCase(std::string_view text, std::string_view part);

}  // namespace kestrel
