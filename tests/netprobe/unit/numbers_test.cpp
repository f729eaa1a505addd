// The lenient number conversions the probes apply to values cut out of command output.
#include "core/shared.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace {

using netprobe::AtoF;
using netprobe::AtoI;
using netprobe::AtoI64;
using netprobe::FormatInt64;

constexpr int kIntMax = std::numeric_limits<int>::max();
constexpr int kIntMin = std::numeric_limits<int>::min();
constexpr std::int64_t kInt64Max = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t kInt64Min = std::numeric_limits<std::int64_t>::min();
constexpr double kDoubleMax = std::numeric_limits<double>::max();

TEST(AtoITest, ReadsLikeTheCRuntimeAndSaturates) {
  const std::vector<std::pair<std::string, int>> cases = {
      {"42", 42},
      {"  \t\r\n\v\f42", 42},
      {"+7", 7},
      {"-13", -13},
      {"80%", 80},
      {"4 5", 4},
      {"0x1A", 0},
      {"abc", 0},
      {"", 0},
      {"  -", 0},
      {"--5", 0},
      {"+-5", 0},
      {std::string("1\0"
                   "2",
                   3),
       1},
      {"2147483647", kIntMax},
      {"2147483648", kIntMax},
      {"-2147483648", kIntMin},
      {"-2147483649", kIntMin},
      {"99999999999999999999999999", kIntMax},
      {"-99999999999999999999999999", kIntMin},
      {"0000000000000000000000000012", 12},
  };
  for (const auto& [text, expected] : cases) {
    EXPECT_EQ(AtoI(text), expected) << "[" << text << "]";
  }
}

TEST(AtoI64Test, ReadsByteCountsAndSaturates) {
  const std::vector<std::pair<std::string, std::int64_t>> cases = {
      {"256060514304  \r", 256060514304},  {"9223372036854775807", kInt64Max},
      {"9223372036854775808", kInt64Max},  {"18446744073709551616", kInt64Max},
      {"-9223372036854775808", kInt64Min}, {"-9223372036854775809", kInt64Min},
      {"  -1000000000", -1000000000},      {"Unknown", 0},
  };
  for (const auto& [text, expected] : cases) {
    EXPECT_EQ(AtoI64(text), expected) << "[" << text << "]";
  }
}

TEST(AtoFTest, ReadsDecimalNotationOnly) {
  const std::vector<std::pair<std::string, double>> cases = {
      {"866.7", 866.7},
      {"  12.5%", 12.5},
      {"-0.25", -0.25},
      {"+3", 3.0},
      {".5", 0.5},
      {"5.", 5.0},
      {"1e3", 1000.0},
      {"2.5E-2ms", 0.025},
      {"1e", 1.0},
      {"1,5", 1.0},
      {".", 0.0},
      {"-", 0.0},
      {"", 0.0},
      {"abc", 0.0},
      {"Information", 0.0},
      {"nan", 0.0},
      {"0x10", 0.0},
      {"1e400", kDoubleMax},
      {"-1e400", -kDoubleMax},
      {"123456789e999999999999999999", kDoubleMax},
      {"1e-400", 0.0},
      {"0.0000001e-999999", 0.0},
  };
  for (const auto& [text, expected] : cases) {
    EXPECT_DOUBLE_EQ(AtoF(text), expected) << "[" << text << "]";
  }
}

TEST(FormatInt64Test, WritesSignedDecimal) {
  const std::vector<std::pair<std::int64_t, std::string>> cases = {
      {0, "0"},
      {-1, "-1"},
      {1099511627776, "1099511627776"},
      {kInt64Max, "9223372036854775807"},
      {kInt64Min, "-9223372036854775808"},
  };
  for (const auto& [value, expected] : cases) {
    EXPECT_EQ(FormatInt64(value), expected);
  }
}

}  // namespace
