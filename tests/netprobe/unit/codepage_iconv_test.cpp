// The native (iconv) code page service where glibc's iconv needs help to behave like Windows.
// Native only: the Win32 service is the reference these cases follow.
#if !defined(_WIN32)

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/shared.h"
#include "support/testdata.h"

namespace {

using netprobe::ICodePage;

// Wide text of 32-bit little-endian units, as the fuzz target builds it (wchar_t is 32 bits here).
std::wstring WideOfUnits(const std::string& bytes) {
  std::wstring wide;
  for (std::size_t i = 0; i + 4 <= bytes.size(); i += 4) {
    std::uint32_t unit = 0;
    for (std::size_t k = 0; k < 4; ++k) {
      unit |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i + k])) << (8 * k);
    }
    wide += static_cast<wchar_t>(unit);
  }
  return wide;
}

std::vector<std::unique_ptr<ICodePage>> BothPagePairs() {
  std::vector<std::unique_ptr<ICodePage>> pages;
  pages.push_back(netprobe::MakeIconvCodePage(936, 936));
  pages.push_back(netprobe::MakeIconvCodePage(1252, 437));
  return pages;
}

// glibc drops the Unicode tag characters silently where a page cannot hold them; like every other
// character a page lacks, each must become one "?".
TEST(IconvCodePageTest, CharactersNoPageHoldsBecomeTheDefaultCharacter) {
  struct Case {
    std::uint32_t character;
    const char* what;
  };
  const std::vector<Case> cases = {
      {0xE0000, "first tag character"},
      {0xE0041, "tag letter A"},
      {0xE007F, "cancel tag, the last one"},
      {0xE0080, "just past the tags"},
      {0x1F600, "an emoji"},
      {0x110000, "beyond Unicode"},
  };
  for (const std::unique_ptr<ICodePage>& page : BothPagePairs()) {
    for (const Case& c : cases) {
      std::wstring text = L"a";
      text += static_cast<wchar_t>(c.character);
      text += L"b";
      EXPECT_EQ(page->WideToAnsi(text), "a?b") << c.what << ", page " << page->AnsiCodePage();
      EXPECT_EQ(page->WideToAnsiChs(text), "a?b") << c.what << ", page " << page->AnsiCodePage();
    }
  }
}

// The fuzz input that found it: a value beyond Unicode, a zero and the first tag character.
TEST(IconvCodePageTest, FuzzInputWithATagCharacterKeepsOneByteEach) {
  const std::wstring text =
      WideOfUnits(kestrel::test::ReadFixture("fuzz/codepage/tag-character-dropped.bin"));
  ASSERT_EQ(text.size(), 3u);
  const std::string expected("?\0?", 3);
  for (const std::unique_ptr<ICodePage>& page : BothPagePairs()) {
    EXPECT_EQ(page->WideToAnsi(text), expected) << "page " << page->AnsiCodePage();
    EXPECT_EQ(page->WideToAnsiChs(text), expected) << "page " << page->AnsiCodePage();
  }
}

}  // namespace

#endif  // !defined(_WIN32)
