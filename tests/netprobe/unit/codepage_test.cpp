// The code page service: iconv natively, the Win32 calls under Wine. The same captured text must
// convert to the same results in both, so these tests run unchanged in every build; the tests of
// one ANSI page skip under the Wine locale of the other page.
#include "core/shared.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "support/codepages.h"
#include "support/testdata.h"

namespace kestrel::test {
namespace {

using netprobe::ICodePage;

#define REQUIRE_CODE_PAGE(cp, page)                                  \
  std::unique_ptr<ICodePage> cp = CodePageFor(page);                 \
  if (!cp) {                                                         \
    GTEST_SKIP() << "the system's ANSI code page is not " << (page); \
  }                                                                  \
  static_assert(true, "")

TEST(CodePageTest, ChineseOutputRoundTripsAndBecomesUtf8) {
  REQUIRE_CODE_PAGE(cp, 936);
  const std::string gbk = ReadFixture("parsing/codepage_sample_gbk.txt");
  const std::string utf8 = ReadFixture("parsing/codepage_sample_utf8.txt");
  ASSERT_FALSE(gbk.empty());

  EXPECT_EQ(cp->AnsiCodePage(), 936u);
  const std::wstring wide = cp->OemToWide(gbk);
  EXPECT_NE(wide.find(L"状态 : 已连接\r\n"), std::wstring::npos);
  EXPECT_NE(wide.find(L"（共 237.9 GB）"), std::wstring::npos);
  EXPECT_EQ(cp->WideToAnsi(wide), gbk);
  EXPECT_EQ(cp->WideToAnsiChs(wide), gbk);
  EXPECT_EQ(cp->AnsiToUtf8(gbk), utf8);
}

TEST(CodePageTest, ChineseKeywordLiteralsAreTheTextsGbkBytes) {
  REQUIRE_CODE_PAGE(cp, 936);
  const std::vector<std::pair<std::string, std::wstring>> cases = {
      {"状态", L"状态"},
      {"已连接", L"已连接"},
      {"您当前未连接网络，请连接网络", L"您当前未连接网络，请连接网络"},
  };
  for (const auto& [narrow, wide] : cases) {
    EXPECT_EQ(cp->OemToWide(narrow), wide);
    EXPECT_EQ(cp->WideToAnsi(wide), narrow);
  }
}

TEST(CodePageTest, WesternPagesConvertAccentedText) {
  REQUIRE_CODE_PAGE(cp, 1252);
  EXPECT_EQ(cp->AnsiCodePage(), 1252u);
  // Command output is in OEM page 437, where these bytes are "é" and "Θ".
  EXPECT_EQ(cp->OemToWide("\x82\xE9"), L"\u00E9\u0398");
  EXPECT_EQ(cp->WideToAnsi(L"caf\u00E9"), "caf\xE9");
  EXPECT_EQ(cp->AnsiToUtf8("caf\xE9"), "caf\xC3\xA9");
  // A byte that 1252 leaves undefined passes through as the control character of its value.
  EXPECT_EQ(cp->AnsiToUtf8("\x81"), "\xC2\x81");
  // Chinese has no place in 1252; the default character stands in.
  EXPECT_EQ(cp->WideToAnsi(L"a中b"), "a?b");
}

TEST(CodePageTest, ChineseTextIsWrittenAsGbkWhateverTheSystemPage) {
  const std::unique_ptr<ICodePage> cp = netprobe::MakeSystemCodePage();
  EXPECT_EQ(cp->WideToAnsiChs(L"您当前未连接网络"), "您当前未连接网络");
  EXPECT_EQ(cp->WideToAnsiChs(L"a\u0E01b"), "a?b");  // Thai is not in GBK
}

TEST(CodePageTest, EmptyInputGivesEmptyOutput) {
  std::vector<std::unique_ptr<ICodePage>> services;
  services.push_back(netprobe::MakeSystemCodePage());
  services.push_back(CodePageFor(936));
  services.push_back(CodePageFor(1252));
  for (const auto& cp : services) {
    if (!cp) {
      continue;
    }
    EXPECT_TRUE(cp->OemToWide("").empty());
    EXPECT_TRUE(cp->WideToAnsi(L"").empty());
    EXPECT_TRUE(cp->WideToAnsiChs(L"").empty());
    EXPECT_TRUE(cp->AnsiToUtf8("").empty());
  }
}

TEST(CodePageTest, DamagedChineseOutputKeepsItsReadableParts) {
  REQUIRE_CODE_PAGE(cp, 936);
  struct Case {
    std::string bytes;
    std::wstring prefix;
    std::wstring suffix;
  };
  const std::vector<Case> cases = {
      {"ab\xB2", L"ab", L""},  // cut after a lead byte
      {"\xFF\xFF"
       "ok",
       L"", L"ok"},                  // bytes that lead nothing
      {"\xB2\xE2\xB2", L"测", L""},  // a whole character, then half of one
  };
  for (const Case& c : cases) {
    const std::wstring wide = cp->OemToWide(c.bytes);
    EXPECT_EQ(wide.compare(0, c.prefix.size(), c.prefix), 0);
    ASSERT_GE(wide.size(), c.suffix.size());
    EXPECT_EQ(wide.compare(wide.size() - c.suffix.size(), c.suffix.size(), c.suffix), 0);
    EXPECT_LE(wide.size(), c.bytes.size());
    cp->AnsiToUtf8(c.bytes);  // must neither crash nor read past the text
  }
}

TEST(CodePageTest, ZeroBytesAreConvertedNotTreatedAsTheEnd) {
  REQUIRE_CODE_PAGE(cp, 936);
  const std::string narrow("a\0状态", 6);
  const std::wstring wide(L"a\0状态", 4);
  EXPECT_EQ(cp->OemToWide(narrow), wide);
  EXPECT_EQ(cp->WideToAnsi(wide), narrow);
  EXPECT_EQ(cp->AnsiToUtf8(narrow), std::string("a\0\xE7\x8A\xB6\xE6\x80\x81", 8));
}

TEST(CodePageTest, SeveralMegabytesRoundTrip) {
  REQUIRE_CODE_PAGE(cp, 936);
  const std::string sample = ReadFixture("parsing/codepage_sample_gbk.txt");
  std::string large;
  while (large.size() < (4u << 20)) {
    large += sample;
  }
  const std::wstring wide = cp->OemToWide(large);
  EXPECT_EQ(wide.size(), cp->OemToWide(sample).size() * (large.size() / sample.size()));
  EXPECT_EQ(cp->WideToAnsi(wide), large);
}

#if !defined(_WIN32)
// Natively the system's pages come from the locale variables, in the order the C library reads
// them, so a test run under LC_ALL=zh_CN.UTF-8 sees what Wine would.
TEST(CodePageTest, SystemPagesFollowTheLocaleLikeWine) {
  const char* names[] = {"LC_ALL", "LC_CTYPE", "LANG"};
  std::vector<std::pair<const char*, std::string>> saved;
  for (const char* name : names) {
    const char* value = std::getenv(name);
    if (value != nullptr) {
      saved.emplace_back(name, value);
    }
  }
  struct Case {
    const char* lcAll;
    const char* lcCtype;
    const char* lang;
    unsigned ansi;
  };
  const std::vector<Case> cases = {
      {"zh_CN.UTF-8", "", "en_US.UTF-8", 936}, {"en_US.UTF-8", "zh_CN.UTF-8", "", 1252},
      {"", "zh_CN.GBK", "en_US.UTF-8", 936},   {"", "", "zh_CN.UTF-8", 936},
      {"", "", "zh_TW.UTF-8", 1252},           {"", "", "", 1252},
  };
  for (const Case& c : cases) {
    setenv("LC_ALL", c.lcAll, 1);
    setenv("LC_CTYPE", c.lcCtype, 1);
    setenv("LANG", c.lang, 1);
    const std::unique_ptr<ICodePage> cp = netprobe::MakeSystemCodePage();
    EXPECT_EQ(cp->AnsiCodePage(), c.ansi) << c.lcAll << "/" << c.lcCtype << "/" << c.lang;
    // OEM page 437 reads 0x82 as "é"; 936 reads it as the lead byte of a pair.
    const bool western = c.ansi == 1252;
    EXPECT_EQ(cp->OemToWide("\x82") == L"\u00E9", western);
  }
  for (const char* name : names) {
    unsetenv(name);
  }
  for (const auto& [name, value] : saved) {
    setenv(name, value.c_str(), 1);
  }
}
#endif

}  // namespace
}  // namespace kestrel::test
