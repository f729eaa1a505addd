// The helpers the modules share instead of their own copies: ASCII case folding that leaves
// every other byte alone, the wide trim of layout values, and UTF-8 to wide text and back on
// hostile input.
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "kestrel/ascii.h"
#include "kestrel/text.h"
#include "kestrel/utf8.h"

namespace {

TEST(AsciiTest, FoldsOnlyTheLettersAToZ) {
  struct Case {
    std::string text;
    std::string lower;
  };
  const Case cases[] = {
      {"PING.EXE", "ping.exe"},
      {"@AZ[`az{", "@az[`az{"},                        // the neighbours of both letter ranges stay
      {"\xB2\xE2\xCA\xD4 OK", "\xB2\xE2\xCA\xD4 ok"},  // GBK bytes pass unchanged
      {std::string("A\0B", 3), std::string("a\0b", 3)},
      {"", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(kestrel::AsciiLower(c.text), c.lower) << c.text;
  }
}

TEST(AsciiTest, PrefixIgnoresCaseOnBothSidesAndNeverReadsPastTheText) {
  struct Case {
    const char* text;
    const char* prefix;
    bool starts;
  };
  const Case cases[] = {
      {"HTTPS://host", "https://", true},
      {"https://host", "HTTPS://", true},
      {"http", "http://", false},
      {"", "", true},
      {"x", "", true},
      {"\xC8\xAB", "\xE8\xAB", false},  // no folding above 0x7F
      {"'WMIC' ist", "'wmic'", true},
      {"[wmic]", "{wmic}", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(kestrel::StartsWithNoCase(c.text, c.prefix), c.starts) << c.text << " " << c.prefix;
  }
}

TEST(AsciiTest, EqualityIgnoresCaseButNotLength) {
  struct Case {
    const char* a;
    const char* b;
    bool equal;
  };
  const Case cases[] = {
      {"100-Continue", "100-continue", true},
      {"100-continue", "100-CONTINUE", true},
      {"100-continue ", "100-continue", false},
      {"100-continu", "100-continue", false},
      {"", "", true},
      {"\xC8", "\xE8", false},  // no folding above 0x7F
      {"@[", "`{", false},      // the neighbours of A-Z are no letters
  };
  for (const Case& c : cases) {
    EXPECT_EQ(kestrel::EqualsNoCase(c.a, c.b), c.equal) << c.a << " " << c.b;
    EXPECT_EQ(kestrel::EqualsNoCase(c.b, c.a), c.equal) << c.b << " " << c.a;
  }
}

TEST(AsciiTest, ContainsFindsThePartAnywhereWithoutCaseAndNeverPastTheEnd) {
  struct Case {
    const char* text;
    const char* part;
    bool contains;
  };
  const Case cases[] = {
      {"Tarvos Computer", "TARVOS", true},
      {"OEM tarvos", "TARVOS", true},   // at the very end
      {"OEM tarvo", "TARVOS", false},   // cut at the end
      {"TARVO", "TARVOS", false},       // shorter than the part
      {"Ìì²¨ TaRvOs", "tarvos", true},  // after GBK bytes
      {"ÔÁ", "ôá", false},              // no folding above 0x7F
      {"", "", true},
      {"", "x", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(kestrel::ContainsNoCase(c.text, c.part), c.contains) << c.text << " " << c.part;
  }
}

TEST(WideTrimTest, RemovesWhiteSpaceAtBothEndsOnly) {
  struct Case {
    std::wstring text;
    std::wstring trimmed;
  };
  const Case cases[] = {
      {L" \t\r\n#FF0000 \n", L"#FF0000"},
      {L"a b", L"a b"},
      {L" \t ", L""},
      {L"", L""},
      {L"x", L"x"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(kestrel::TrimWhiteSpace(c.text), c.trimmed);
  }
}

TEST(Utf8Test, BrokenCutOverlongAndSurrogateSequencesBecomeOneReplacementEachByte) {
  struct Case {
    const char* what;
    std::string utf8;
    std::wstring wide;
  };
  const Case cases[] = {
      {"plain and Chinese", "a\xE6\xB5\x8B", L"a\u6D4B"},
      {"astral", "\xF0\x9F\x98\x80", L"\U0001F600"},
      {"largest", "\xF4\x8F\xBF\xBF", L"\U0010FFFF"},
      {"past the largest", "\xF4\x90\x80\x80", L"\uFFFD\uFFFD\uFFFD\uFFFD"},
      {"overlong slash", "\xC0\xAF", L"\uFFFD\uFFFD"},
      {"encoded surrogate", "\xED\xA0\x80", L"\uFFFD\uFFFD\uFFFD"},
      {"cut at the end", "ab\xE6\xB5", L"ab\uFFFD\uFFFD"},
      {"stray continuation", "\x80z", L"\uFFFDz"},
      {"lead without continuation", "\xE6z", L"\uFFFDz"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(kestrel::Utf8ToWide(c.utf8), c.wide) << c.what;
  }
}

TEST(Utf8Test, DecodesOneSequenceAtItsBoundsAndRefusesWhatIsNotUtf8) {
  struct Case {
    const char* what;
    std::string text;
    std::size_t length;  // 0: refused
    char32_t codePoint;
  };
  const Case cases[] = {
      {"empty", "", 0, 0},
      {"zero byte", std::string("\0z", 2), 1, 0},
      {"smallest of two", "\xC2\x80", 2, 0x80},
      {"largest of two", "\xDF\xBF", 2, 0x7FF},
      {"smallest of three", "\xE0\xA0\x80", 3, 0x800},
      {"last before the surrogates", "\xED\x9F\xBF", 3, 0xD7FF},
      {"smallest of four", "\xF0\x90\x80\x80", 4, 0x10000},
      {"largest", "\xF4\x8F\xBF\xBFz", 4, 0x10FFFF},
      {"only the first sequence", "\xE6\xB5\x8B\xE6\xB5\x8B", 3, 0x6D4B},
      {"overlong of three", "\xE0\x9F\xBF", 0, 0},
      {"overlong of four", "\xF0\x8F\xBF\xBF", 0, 0},
      {"encoded surrogate", "\xED\xA0\x80", 0, 0},
      {"lead past the largest", "\xF5\x80\x80\x80", 0, 0},
      {"five-byte lead", "\xF8\x88\x80\x80\x80", 0, 0},
      {"cut", "\xF0\x9F\x98", 0, 0},
      {"continuation byte first", "\xBF", 0, 0},
  };
  for (const Case& c : cases) {
    char32_t codePoint = 0xFFFFFFFF;
    EXPECT_EQ(kestrel::DecodeUtf8(c.text, &codePoint), c.length) << c.what;
    if (c.length > 0) {
      EXPECT_EQ(codePoint, c.codePoint) << c.what;
      EXPECT_TRUE(kestrel::IsValidUtf8(std::string_view(c.text).substr(0, c.length))) << c.what;
    } else {
      EXPECT_EQ(codePoint, 0xFFFFFFFF) << c.what;  // left alone
      EXPECT_EQ(kestrel::IsValidUtf8(c.text), c.text.empty()) << c.what;
    }
  }
}

TEST(Utf8Test, WideTextRoundTripsAndALoneSurrogateIsReplaced) {
  const std::wstring text = L"Lessora \u6D4B\u8BD5 \U0001F600";
  EXPECT_EQ(kestrel::Utf8ToWide(kestrel::WideToUtf8(text)), text);
  std::wstring lone = L"a";
  lone += static_cast<wchar_t>(0xD800);
  lone += L"b";
  EXPECT_EQ(kestrel::WideToUtf8(lone),
            "a\xEF\xBF\xBD"
            "b");
}

}  // namespace
