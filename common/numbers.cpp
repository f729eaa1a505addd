#include "kestrel/numbers.h"

#include <charconv>
#include <limits>
#include <system_error>

namespace kestrel {

namespace {

// The C locale's white space, which atoi and atof skip; fixed here rather than asked of the
// process locale.
bool IsCSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

std::size_t SkipSpace(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && IsCSpace(text[i])) {
    ++i;
  }
  return i;
}

// Leading white space, an optional sign, then decimal digits; saturates at the limits of
// std::int64_t instead of overflowing.
std::int64_t ParseSaturated(std::string_view text) {
  std::size_t i = SkipSpace(text);
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  // Accumulate towards the negative side, whose range is one larger.
  constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
  std::int64_t value = 0;
  for (; i < text.size() && IsDigit(text[i]); ++i) {
    const int digit = text[i] - '0';
    if (value < (kMin + digit) / 10) {
      value = kMin;
      break;
    }
    value = value * 10 - digit;
  }
  if (negative) {
    return value;
  }
  return value == kMin ? std::numeric_limits<std::int64_t>::max() : -value;
}

// Rough decimal magnitude of a number that std::from_chars found out of range: positive for a
// value too large, negative for one too small. Only the sign is used, and out-of-range values lie
// hundreds of decades away from zero, so counting digits and the exponent is enough.
long long DecimalMagnitude(std::string_view number) {
  std::size_t i = 0;
  long long integerDigits = 0;
  bool seenNonZero = false;
  for (; i < number.size() && IsDigit(number[i]); ++i) {
    seenNonZero = seenNonZero || number[i] != '0';
    integerDigits += seenNonZero ? 1 : 0;
  }
  long long leadingFractionZeros = 0;
  if (i < number.size() && number[i] == '.') {
    for (++i; i < number.size() && IsDigit(number[i]); ++i) {
      if (!seenNonZero && number[i] == '0') {
        ++leadingFractionZeros;
      }
      seenNonZero = seenNonZero || number[i] != '0';
    }
  }
  long long exponent = 0;
  if (i < number.size() && (number[i] == 'e' || number[i] == 'E')) {
    exponent = ParseSaturated(number.substr(i + 1));
  }
  const long long mantissa = integerDigits > 0 ? integerDigits : -leadingFractionZeros;
  // Both terms are bounded well inside long long once the exponent is clamped.
  constexpr long long kClamp = 1000000000LL;
  exponent = exponent > kClamp ? kClamp : (exponent < -kClamp ? -kClamp : exponent);
  return mantissa + exponent;
}

}  // namespace

int AtoI(std::string_view text) {
  const std::int64_t value = ParseSaturated(text);
  if (value > std::numeric_limits<int>::max()) {
    return std::numeric_limits<int>::max();
  }
  if (value < std::numeric_limits<int>::min()) {
    return std::numeric_limits<int>::min();
  }
  return static_cast<int>(value);
}

std::int64_t AtoI64(std::string_view text) {
  return ParseSaturated(text);
}

double AtoF(std::string_view text) {
  std::size_t i = SkipSpace(text);
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  // Plain decimal notation only: the C runtime would also read "inf", "nan" and hexadecimal, so
  // a localised word such as "Information" would become infinity. No tool prints those forms.
  if (i >= text.size() || !(IsDigit(text[i]) || text[i] == '.')) {
    return 0.0;
  }
  const std::string_view number = text.substr(i);
  double value = 0.0;
  const std::from_chars_result result =
      std::from_chars(number.data(), number.data() + number.size(), value);
  if (result.ec == std::errc::invalid_argument) {
    return 0.0;  // A lone "." has no digits.
  }
  if (result.ec == std::errc::result_out_of_range) {
    // Saturate to the largest finite value, or to zero for a value too small to represent.
    const std::string_view matched(number.data(), result.ptr - number.data());
    value = DecimalMagnitude(matched) > 0 ? std::numeric_limits<double>::max() : 0.0;
  }
  return negative ? -value : value;
}

std::string FormatInt64(std::int64_t value) {
  char buffer[64];
  const std::to_chars_result result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

}  // namespace kestrel
