// What the fuzz targets share: an invariant check that stops the run like a crash, so libFuzzer
// keeps the input, and the shape every parsed value promises.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace fuzz {

[[noreturn]] inline void Fail(const char* what, const char* file, int line) {
  std::fprintf(stderr, "%s:%d: invariant broken: %s\n", file, line, what);
  std::abort();
}

// The input as the parsers receive captured output: bytes in a string.
inline std::string Text(const std::uint8_t* data, std::size_t size) {
  return std::string(reinterpret_cast<const char*>(data), size);
}

// A value taken from one line and full-trimmed: it holds no line end, and neither starts with a
// blank nor ends with a blank, CR or LF. (Line ends behind leading blanks stay: the full trim
// takes line ends before blanks only.)
inline bool IsTrimmedLineValue(std::string_view value) {
  if (value.find("\r\n") != std::string_view::npos) {
    return false;
  }
  if (value.empty()) {
    return true;
  }
  const char last = value.back();
  return value.front() != ' ' && last != ' ' && last != '\r' && last != '\n';
}

// Parsers cut their values out of the text; they never make bytes up.
inline bool IsCutFrom(std::string_view text, std::string_view value) {
  return text.find(value) != std::string_view::npos;
}

inline std::size_t CountOf(std::string_view text, std::string_view key) {
  std::size_t count = 0;
  for (std::size_t at = text.find(key); at != std::string_view::npos; at = text.find(key, at + 1)) {
    ++count;
  }
  return count;
}

}  // namespace fuzz

#define FUZZ_CHECK(condition) \
  ((condition) ? static_cast<void>(0) : ::fuzz::Fail(#condition, __FILE__, __LINE__))
