// The trims, the one-column parsers and the scan cursor, against recorded wmic and netsh output.
#include "core/shared.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/testdata.h"

namespace kestrel::test {
namespace {

using netprobe::FullTrim;
using netprobe::ParseColumnNumber;
using netprobe::ParseColumnValue;
using netprobe::ParseOsName;
using netprobe::ScanCursor;
using netprobe::TrimLeft;
using netprobe::TrimRight;

std::string Bytes(const char* data, std::size_t size) {
  return std::string(data, size);
}

TEST(TrimTest, RemovesOnlyTheGivenSetAtItsEnd) {
  struct Case {
    std::string text;
    bool left;
    std::string set;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {"  a b  ", true, " ", "a b  "},
      {"  a b  ", false, " ", "  a b"},
      {"     ", false, " ", ""},
      {"     ", true, " ", ""},
      {"", true, " ", ""},
      {"\r\n\r\n x", true, "\r\n", " x"},
      {"x \r\r\n", false, "\r\n", "x "},
      {Bytes("\0 a", 3), true, " ", Bytes("\0 a", 3)},
      {Bytes(" a\0 ", 4), false, " ", Bytes(" a\0", 3)},
  };
  for (const Case& c : cases) {
    std::string text = c.text;
    if (c.left) {
      TrimLeft(text, c.set);
    } else {
      TrimRight(text, c.set);
    }
    EXPECT_EQ(text, c.expected) << (c.left ? "left" : "right") << " of [" << c.text << "]";
  }
}

TEST(TrimTest, FullTrimTakesLineEndsThenBlanksInFrontAndAnyMixBehind) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"\r\n  value  \r\r\n \r", "value"},
      {"  value", "value"},
      // Only line ends before blanks are taken in front, as the probes have always read it.
      {"  \r\nvalue", "\r\nvalue"},
      {" \r\n \r\n", ""},
      {"", ""},
  };
  for (const auto& [text, expected] : cases) {
    std::string value = text;
    FullTrim(value);
    EXPECT_EQ(value, expected);
  }
}

TEST(ColumnParserTest, ReadsTheValueLineOfRecordedOutput) {
  struct Case {
    const char* fixture;
    int result;
    std::string value;
  };
  const std::vector<Case> cases = {
      {"parsing/wmic_cpu_name.txt", 1, "Intel(R) Core(TM) i5-8250U CPU @ 1.60GHz"},
      {"parsing/wmic_cpu_name_leading_blanks.txt", 1, "Intel(R) Pentium(R) 4 CPU 3.00GHz"},
      {"parsing/wmic_cpu_name_empty.txt", 0, "unchanged"},
  };
  for (const Case& c : cases) {
    std::string value = "unchanged";
    EXPECT_EQ(ParseColumnValue(ReadFixture(c.fixture), "Name", value), c.result) << c.fixture;
    EXPECT_EQ(value, c.value) << c.fixture;
  }
}

TEST(ColumnParserTest, OsNameKeepsThePartBeforeTheFirstBar) {
  const std::string text = ReadFixture("parsing/wmic_os_name_zh.txt");
  std::string value;
  ASSERT_EQ(ParseOsName(text, "Name", value), 1);
  EXPECT_EQ(value, "Microsoft Windows 10 专业版");

  // The plain column parser keeps all three parts.
  ASSERT_EQ(ParseColumnValue(text, "Name", value), 1);
  EXPECT_EQ(value.find("Microsoft Windows 10 专业版|C:\\WINDOWS|"), 0u);

  // A value that starts with the bar has no name.
  EXPECT_EQ(ParseOsName("Name\r\r\n|C:\\WINDOWS|x  \r\r\n", "Name", value), 0);
}

TEST(ColumnParserTest, NumberIsReadLikeAtoi) {
  int number = -1;
  EXPECT_EQ(ParseColumnNumber(ReadFixture("parsing/wmic_cpu_cores.txt"), "NumberOfCores", number),
            1);
  EXPECT_EQ(number, 4);

  number = -1;
  EXPECT_EQ(
      ParseColumnNumber(ReadFixture("parsing/wmic_cpu_l3_letters.txt"), "L3CacheSize", number), 1);
  EXPECT_EQ(number, 0);

  number = -1;
  EXPECT_EQ(ParseColumnNumber(ReadFixture("parsing/wmic_cpu_name_empty.txt"), "Name", number), 0);
  EXPECT_EQ(number, -1);
}

TEST(ColumnParserTest, OddTextsEndTheParseWithoutReadingPastIt) {
  struct Case {
    std::string text;
    int result;
    std::string value;
  };
  const std::vector<Case> cases = {
      {"", 0, ""},
      {"Name", 0, ""},
      {"Caption  \r\r\nx  \r\r\n", 0, ""},       // key missing
      {"Name\r\rvalue\r\r", 0, ""},              // CR-only line ends: no header end
      {"Name  \r\nvalue  ", 1, "value"},         // last line without a line end
      {"Name\r\n", 0, ""},                       // header only
      {"Name\r\n\r\n\r\n   ", 0, ""},            // nothing but blanks after it
      {"Name\r\n\r\n  \r\r\nlater\r\n", 0, ""},  // an empty value line is not skipped
      {Bytes("x\0Name \r\r\nva\0lue \r\r\n", 20), 1, Bytes("va\0lue", 6)},
  };
  for (const Case& c : cases) {
    std::string value;
    EXPECT_EQ(ParseColumnValue(c.text, "Name", value), c.result) << "[" << c.text << "]";
    EXPECT_EQ(value, c.value) << "[" << c.text << "]";
  }
}

TEST(ColumnParserTest, HandlesOutputOfSeveralMegabytes) {
  std::string text(4u << 20, ' ');
  text += "Name\r\r\n";
  text.append(3u << 20, 'x');
  std::string value;
  ASSERT_EQ(ParseColumnValue(text, "Name", value), 1);
  EXPECT_EQ(value.size(), 3u << 20);
}

TEST(ScanCursorTest, EqualsFormReadsKeysInOrder) {
  const std::string text = ReadFixture("parsing/wmic_cpu_list_full.txt");
  ScanCursor cursor(text);
  const std::vector<std::pair<const char*, const char*>> keys = {
      {"CurrentClockSpeed=", "1800"},
      {"L3CacheSize=", "6144"},
      {"LoadPercentage=", "12"},
      {"Name=", "Intel(R) Core(TM) i5-8250U CPU @ 1.60GHz"},
      {"Revision=", ""},
      {"Status=", "OK"},
  };
  for (const auto& [key, expected] : keys) {
    std::string value = "unchanged";
    EXPECT_TRUE(cursor.EqualsValue(key, value)) << key;
    EXPECT_EQ(value, expected) << key;
  }
  // Each value ends where its line does, so the next key search starts at that line end.
  EXPECT_EQ(cursor.Rest().substr(0, 4), "\r\nSt");
}

TEST(ScanCursorTest, KeyOnlyBeforeTheCursorIsNotFound) {
  const std::string text = ReadFixture("parsing/wmic_cpu_list_full.txt");
  ScanCursor cursor(text);
  std::string value;
  ASSERT_TRUE(cursor.EqualsValue("Name=", value));
  const std::string_view rest = cursor.Rest();
  value = "unchanged";
  EXPECT_FALSE(cursor.EqualsValue("AddressWidth=", value));
  EXPECT_EQ(value, "unchanged");
  EXPECT_EQ(cursor.Rest(), rest);
  // A fresh cursor on the same text still finds it.
  ScanCursor fresh(text);
  EXPECT_TRUE(fresh.EqualsValue("AddressWidth=", value));
  EXPECT_EQ(value, "64");
}

TEST(ScanCursorTest, ListingLoopMovesFromBlockToBlock) {
  // The second module has no "Speed=" line, so no speed is paired with its capacity; the search
  // is not bounded by one block and the loop ends after it.
  const std::string text = ReadFixture("parsing/wmic_memorychip_list_full.txt");
  ScanCursor cursor(text);
  std::vector<std::pair<std::string, std::string>> modules;
  std::string capacity;
  while (cursor.EqualsValue("Capacity=", capacity)) {
    std::string speed = "none";
    cursor.EqualsValue("Speed=", speed);
    modules.emplace_back(capacity, speed);
  }
  const std::vector<std::pair<std::string, std::string>> expected = {{"8589934592", "2667"},
                                                                     {"4294967296", "none"}};
  EXPECT_EQ(modules, expected);
}

TEST(ScanCursorTest, ColonFormReadsLocalisedListings) {
  struct Case {
    const char* fixture;
    std::vector<std::pair<const char*, const char*>> keys;
  };
  const std::vector<Case> cases = {
      {"parsing/netsh_wlan_interface_zh.txt",
       {{"描述", "Intel(R) Wireless-AC 9560 160MHz"},
        {"物理地址", "34:e1:2d:aa:bb:cc"},
        {"状态", "已连接"},
        {"信号", "80%"},
        {"状态", "不可用"}}},
      {"parsing/netsh_wlan_interface_en.txt",
       {{"Description", "Intel(R) Wireless-AC 9560 160MHz"},
        {"Physical address", "34:e1:2d:aa:bb:cc"},
        {"State", "connected"},
        {"Signal", "80%"}}},
  };
  for (const Case& c : cases) {
    const std::string text = ReadFixture(c.fixture);
    ScanCursor cursor(text);
    for (const auto& [key, expected] : c.keys) {
      std::string value;
      EXPECT_TRUE(cursor.ColonValue(key, value)) << c.fixture << " " << key;
      EXPECT_EQ(value, expected) << c.fixture << " " << key;
    }
    // Every key has been passed; none is found again.
    std::string value;
    EXPECT_FALSE(cursor.ColonValue(c.keys.front().first, value)) << c.fixture;
  }
}

TEST(ScanCursorTest, FailedStepLeavesTheCursorWhereTheStepsBeforeMovedIt) {
  struct Case {
    std::string text;
    bool colon;
    std::string restAfter;
  };
  const std::vector<Case> cases = {
      {"Name=abc", false, "abc"},          // key without a line end: past the key
      {"x Name", false, "x Name"},         // key incomplete: not moved
      {"  Key  \r\n", true, "Key  \r\n"},  // key without ":": at the key
      {"  Key : v", true, " v"},           // ":" without a line end: past the ":"
      {"Key : v\r\r", true, " v\r\r"},     // CR-only text has no line end
      {"", true, ""},
  };
  for (const Case& c : cases) {
    ScanCursor cursor(c.text);
    std::string value = "unchanged";
    const bool found =
        c.colon ? cursor.ColonValue("Key", value) : cursor.EqualsValue("Name=", value);
    EXPECT_FALSE(found) << "[" << c.text << "]";
    EXPECT_EQ(value, "unchanged");
    EXPECT_EQ(cursor.Rest(), c.restAfter) << "[" << c.text << "]";
  }
}

TEST(ScanCursorTest, ValuesMayHoldZeroBytesAndTextMayBeLarge) {
  const std::string withZero = Bytes("A=1\0 2\r\nB=\0\r\n", 13);
  ScanCursor cursor(withZero);
  std::string value;
  ASSERT_TRUE(cursor.EqualsValue("A=", value));
  EXPECT_EQ(value, Bytes("1\0 2", 4));
  ASSERT_TRUE(cursor.EqualsValue("B=", value));
  EXPECT_EQ(value, Bytes("\0", 1));

  std::string large(5u << 20, 'k');
  large += "Speed=1000000000\r\r\n";
  ScanCursor far(large);
  ASSERT_TRUE(far.EqualsValue("Speed=", value));
  EXPECT_EQ(value, "1000000000");
  EXPECT_FALSE(far.MoveTo("k"));
}

}  // namespace
}  // namespace kestrel::test
