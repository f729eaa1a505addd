// The text helpers and number conversions on arbitrary bytes: the trims, the one-column parsers
// with the keys the probes use, a scan cursor driven by the first byte, and AtoI/AtoI64/AtoF
// checked against the C library wherever the two must agree.
#include <cerrno>
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/shared.h"
#include "fuzz_check.h"

namespace {

using fuzz::IsCutFrom;
using fuzz::IsTrimmedLineValue;

// Keys the probes search for, and the degenerate ones a cursor must also survive.
constexpr std::string_view kKeys[] = {
    "Name", "NumberOfCores", "LoadPercentage=", "Capacity=", "描述", ":", "\r\n", ""};
constexpr std::size_t kKeyCount = sizeof kKeys / sizeof kKeys[0];

void CheckTrims(const std::string& text) {
  std::string left = text;
  netprobe::TrimLeft(left, netprobe::kLineEnd);
  FUZZ_CHECK(text.compare(text.size() - left.size(), left.size(), left) == 0);
  FUZZ_CHECK(left.empty() || (left.front() != '\r' && left.front() != '\n'));

  std::string right = text;
  netprobe::TrimRight(right, netprobe::kBlank);
  FUZZ_CHECK(text.compare(0, right.size(), right) == 0);
  FUZZ_CHECK(right.empty() || right.back() != ' ');

  std::string full = text;
  netprobe::FullTrim(full);
  FUZZ_CHECK(IsCutFrom(text, full));
  FUZZ_CHECK(full.empty() || (full.front() != ' ' && full.back() != ' ' && full.back() != '\r' &&
                              full.back() != '\n'));
}

void CheckColumnParsers(const std::string& text, std::string_view key) {
  const std::string untouched = "untouched";
  std::string value = untouched;
  const int found = netprobe::ParseColumnValue(text, key, value);
  FUZZ_CHECK(found == 0 || found == 1);
  if (found == 1) {
    FUZZ_CHECK(!value.empty() && IsTrimmedLineValue(value) && IsCutFrom(text, value));
  } else {
    FUZZ_CHECK(value == untouched);
  }

  int number = -7;
  const int numbered = netprobe::ParseColumnNumber(text, key, number);
  FUZZ_CHECK(numbered == found);
  FUZZ_CHECK(numbered == 1 ? number == netprobe::AtoI(value) : number == -7);

  // The name is the column value cut before its first "|", so a prefix of it.
  std::string name = untouched;
  if (netprobe::ParseOsName(text, key, name) == 1) {
    FUZZ_CHECK(found == 1);
    FUZZ_CHECK(!name.empty() && IsTrimmedLineValue(name) && name.find('|') == std::string::npos);
    FUZZ_CHECK(value.compare(0, name.size(), name) == 0);
  } else {
    FUZZ_CHECK(name == untouched);
  }
}

// A small generator, so one byte picks a whole sequence of cursor steps.
class Steps {
 public:
  explicit Steps(std::uint8_t seed) : state_(0x9E3779B9u ^ seed) {}
  std::uint32_t Next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return state_;
  }

 private:
  std::uint32_t state_;
};

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

// Runs the steps and returns their trace, so a second run can prove the results deterministic.
std::string RunCursor(const std::string& text, std::uint8_t program) {
  netprobe::ScanCursor cursor(text);
  Steps steps(program);
  std::string trace;
  for (int step = 0; step < 48; ++step) {
    const std::uint32_t choice = steps.Next();
    const std::string_view key = kKeys[(choice >> 8) % kKeyCount];
    const std::string_view before = cursor.Rest();
    const std::string untouched = "untouched";
    std::string value = untouched;
    bool ok = false;
    switch (choice % 5) {
      case 0:
        ok = cursor.MoveTo(key);
        FUZZ_CHECK(ok ? StartsWith(cursor.Rest(), key) : before.find(key) == std::string::npos);
        break;
      case 1:
        ok = cursor.MovePast(key);
        if (ok) {
          const std::size_t consumed = text.size() - cursor.Rest().size();
          FUZZ_CHECK(consumed >= key.size() &&
                     text.compare(consumed - key.size(), key.size(), key) == 0);
        } else {
          FUZZ_CHECK(before.find(key) == std::string::npos);
        }
        break;
      case 2:
        ok = cursor.TakeLine(value);
        break;
      case 3:
        ok = cursor.EqualsValue(key, value);
        break;
      default:
        ok = cursor.ColonValue(key, value);
        break;
    }
    const std::string_view after = cursor.Rest();
    // The cursor only moves forwards and always views the end of the text.
    FUZZ_CHECK(after.size() <= before.size());
    FUZZ_CHECK(after.data() + after.size() == text.data() + text.size());
    if (choice % 5 >= 2) {
      if (ok) {
        FUZZ_CHECK(StartsWith(after, netprobe::kLineEnd));
        FUZZ_CHECK(IsTrimmedLineValue(value) && IsCutFrom(text, value));
      } else {
        FUZZ_CHECK(value == untouched);
      }
    }
    if (!ok && choice % 5 != 3 && choice % 5 != 4) {
      FUZZ_CHECK(after.size() == before.size());
    }
    trace += ok ? '1' : '0';
    trace += std::to_string(after.size());
    trace += value;
  }
  return trace;
}

bool IsHexFloat(std::string_view text) {
  std::size_t i = text.find_first_not_of(" \t\n\v\f\r");
  if (i == std::string_view::npos) {
    return false;
  }
  if (text[i] == '+' || text[i] == '-') {
    ++i;
  }
  return text.substr(i, 2) == "0x" || text.substr(i, 2) == "0X";
}

void CheckNumbers(const std::string& text) {
  const std::int64_t wide = netprobe::AtoI64(text);
  const int narrow = netprobe::AtoI(text);
  const std::int64_t clamped = wide > INT_MAX ? INT_MAX : (wide < INT_MIN ? INT_MIN : wide);
  FUZZ_CHECK(narrow == clamped);
  FUZZ_CHECK(netprobe::AtoI64(netprobe::FormatInt64(wide)) == wide);

  const double real = netprobe::AtoF(text);
  FUZZ_CHECK(std::isfinite(real));

  // The C library reads the same way up to a NUL, and saturates the same way.
  if (text.find('\0') != std::string::npos) {
    return;
  }
  FUZZ_CHECK(std::strtoll(text.c_str(), nullptr, 10) == wide);
  // strtod also reads hexadecimal, and disagrees by design on what does not fit a double.
  if (!IsHexFloat(text)) {
    errno = 0;
    const double expected = std::strtod(text.c_str(), nullptr);
    if (errno == 0 && std::isfinite(expected) &&
        (expected == 0.0 || std::fabs(expected) >= DBL_MIN)) {
      FUZZ_CHECK(real == expected);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text = fuzz::Text(data, size);
  CheckTrims(text);
  for (const std::string_view key : kKeys) {
    CheckColumnParsers(text, key);
  }
  const std::uint8_t program = size > 0 ? data[0] : 0;
  FUZZ_CHECK(RunCursor(text, program) == RunCursor(text, program));
  CheckNumbers(text);
  return 0;
}
