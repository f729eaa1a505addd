// The helpers the modules share instead of their own copies: ASCII case folding that leaves
// every other byte alone, the wide trim of layout values, and UTF-8 to wide text and back on
// hostile input.
#include <gtest/gtest.h>

#include <string>

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
