// Faulty layouts: each problem is named with its layout and line, and the rest of the window
// still works.
#include <gtest/gtest.h>

#include <map>

#include "command_host.h"
#include "headless.h"
#include "memory_provider.h"
#include "toolkit/application.h"
#include "toolkit/controls.h"

namespace toolkit {
namespace {

using headless::HeadlessPlatform;

using Files = testing::MemoryProvider;

using Clicks = testing::CommandHost;

struct BadCase {
  const char* what;
  const char* faulty;  // line 3 of the layout
  Diagnostic::Kind kind;
  const wchar_t* layout;
  int line;
  const wchar_t* mentions;
};

const BadCase kCases[] = {
    {"unknown class", R"(<fancy name="x"/>)", Diagnostic::kUnknownClass, L"LAYOUT:BAD", 3,
     L"\"fancy\""},
    {"unknown attribute", R"(<text wobble="1">a</text>)", Diagnostic::kUnknownAttribute,
     L"LAYOUT:BAD", 3, L"\"wobble\""},
    {"malformed number", R"(<text pos="10,1x">a</text>)", Diagnostic::kBadValue, L"LAYOUT:BAD", 3,
     L"\"10,1x\""},
    {"malformed colour", R"(<text colorText="#12345">a</text>)", Diagnostic::kBadValue,
     L"LAYOUT:BAD", 3, L"\"#12345\""},
    {"unknown skin", R"(<img skin="_skin.none"/>)", Diagnostic::kMissingSkin, L"LAYOUT:BAD", 3,
     L"\"_skin.none\""},
    {"missing include", R"(<include src="LAYOUT:NONE"/>)", Diagnostic::kMissingLayout,
     L"LAYOUT:BAD", 3, L"LAYOUT:NONE"},
    {"broken included file", R"(<include src="LAYOUT:BROKEN"/>)", Diagnostic::kBrokenXml,
     L"LAYOUT:BROKEN", 2, L"broken XML"},
    {"broken file", R"(<text>a</tex>)", Diagnostic::kBrokenXml, L"LAYOUT:BAD", 3, L"broken XML"},
};

TEST(ToolkitBadInput, NamedWithLayoutAndLineAndTheRestWorks) {
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    HeadlessPlatform platform;
    SApplication app(&platform);
    std::string bad =
        std::string("<SOUI width=\"300\" height=\"200\"><root>\n") +
        "<button name=\"before\" pos=\"10,10\" size=\"60,30\">1</button>\n" + c.faulty + "\n" +
        "<button name=\"after\" pos=\"10,60\" size=\"60,30\">2</button>\n" + "</root></SOUI>\n";
    app.Context().AddResProvider(
        std::make_unique<Files>(std::map<std::wstring, std::string>{
            {L"LAYOUT:BAD", bad}, {L"LAYOUT:BROKEN", "<include>\n<text>a</include>\n"}}),
        L"");
    Clicks host(app.Context(), L"LAYOUT:BAD");
    ASSERT_TRUE(host.Create());
    ASSERT_FALSE(app.Context().GetDiagnostics().empty());
    const Diagnostic& d = app.Context().GetDiagnostics().front();
    EXPECT_EQ(d.kind, c.kind) << WideToUtf8(d.ToString());
    EXPECT_EQ(d.layout, c.layout) << WideToUtf8(d.ToString());
    EXPECT_EQ(d.line, c.line) << WideToUtf8(d.ToString());
    EXPECT_NE(d.ToString().find(c.mentions), std::wstring::npos) << WideToUtf8(d.ToString());
    if (c.kind == Diagnostic::kBrokenXml && std::wstring(c.layout) == L"LAYOUT:BAD")
      continue;  // nothing of an unreadable window is built
    EXPECT_TRUE(headless::Click(host, L"before"));
    EXPECT_TRUE(headless::Click(host, L"after"));
    EXPECT_EQ(host.commands, (std::vector<std::wstring>{L"before", L"after"}));
  }
}

TEST(ToolkitBadInput, MissingImageAndBadDefinitionsAreNamed) {
  HeadlessPlatform platform;
  SApplication app(&platform);
  app.Context().AddResProvider(std::make_unique<Files>(std::map<std::wstring, std::string>{
      {L"UIDEF:XML_INIT",
       "<uidef>\n<colors accent=\"#3478F6\" bad=\"blue\"/>\n<skins>\n"
       "<imgskin name=\"_skin.gone\" src=\"IMG.MAIN:gone\" width=\"16\" height=\"16\" "
       "ink=\"grey\"/>\n"
       "<colorskin name=\"_skin.ok\" normal=\"@color/accent\" radius=\"x\"/>\n"
       "</skins>\n</uidef>\n"}}));
  struct Expect {
    Diagnostic::Kind kind;
    int line;
    const wchar_t* mentions;
  };
  const Expect expects[] = {{Diagnostic::kBadValue, 2, L"\"blue\""},
                            {Diagnostic::kBadValue, 4, L"\"grey\", not light or dark"},
                            {Diagnostic::kMissingImage, 4, L"IMG.MAIN:gone"},
                            {Diagnostic::kBadValue, 5, L"\"x\""}};
  ASSERT_EQ(app.Context().GetDiagnostics().size(), std::size(expects));
  for (size_t i = 0; i < std::size(expects); ++i) {
    const Diagnostic& d = app.Context().GetDiagnostics()[i];
    EXPECT_EQ(d.kind, expects[i].kind) << WideToUtf8(d.ToString());
    EXPECT_EQ(d.layout, L"UIDEF:XML_INIT");
    EXPECT_EQ(d.line, expects[i].line) << WideToUtf8(d.ToString());
    EXPECT_NE(d.ToString().find(expects[i].mentions), std::wstring::npos)
        << WideToUtf8(d.ToString());
  }
  // Both skins exist; the missing picture draws nothing, the accent skin draws.
  EXPECT_NE(app.Context().GetUiDef().FindSkin(L"_skin.gone"), nullptr);
  EXPECT_NE(app.Context().GetUiDef().FindSkin(L"_skin.ok"), nullptr);
}

TEST(ToolkitBadInput, MissingLayoutGivesAnEmptyWindowAndMissingNamesAreSkipped) {
  HeadlessPlatform platform;
  SApplication app(&platform);
  app.Context().AddResProvider(std::make_unique<Files>(std::map<std::wstring, std::string>{}), L"");
  SHostWnd host(app.Context(), L"LAYOUT:XML_REALWNDDIALOG");
  ASSERT_TRUE(host.Create());
  EXPECT_EQ(host.FindChildByName(L"anything"), nullptr);
  EXPECT_FALSE(headless::Click(host, L"anything"));
  EXPECT_EQ(headless::Text(host, L"anything"), L"");
  EXPECT_EQ(headless::Page(host, L"anything"), -1);
  ASSERT_EQ(app.Context().GetDiagnostics().size(), 1u);
  EXPECT_EQ(app.Context().GetDiagnostics()[0].kind, Diagnostic::kMissingLayout);
}

}  // namespace
}  // namespace toolkit
