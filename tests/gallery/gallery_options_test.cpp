#include <gtest/gtest.h>

#include "gallery_options.h"
#include "headless.h"
#include "toolkit/controls.h"

namespace gallery {
namespace {

TEST(GalleryOptions, ParsesGoodCommandLinesAndNamesTheFaultOfBadOnes) {
  std::string error;
  auto ok = ParseOptions({"XML_MAINWND", "--select", "tab_main_op=2", "--text", "msgtext=提示",
                          "--dump", "d.txt", "--exit-after", "500", "--part-size", "50,62"},
                         &error);
  ASSERT_TRUE(ok) << error;
  EXPECT_EQ(ok->layout, L"LAYOUT:XML_MAINWND");
  ASSERT_EQ(ok->selects.size(), 1u);
  EXPECT_EQ(ok->selects[0].second, 2);
  EXPECT_EQ(ok->texts[0].second, L"提示");
  EXPECT_EQ(ok->exitAfterMs, 500);
  EXPECT_EQ(ok->partWidth, 50);
  auto driven = ParseOptions(
      {"XML_MSGBOX", "--redump", "200", "--modal", "--msgbox", "1", "--dropdown", "btn_sys_abort"},
      &error);
  ASSERT_TRUE(driven) << error;
  EXPECT_EQ(driven->redumpMs, 200);
  EXPECT_TRUE(driven->modal);
  EXPECT_EQ(driven->msgBoxType, 1);
  EXPECT_EQ(driven->dropDownButton, L"btn_sys_abort");
  EXPECT_FALSE(driven->highContrast);
  EXPECT_TRUE(ParseOptions({"XML_MAINWND", "--high-contrast"}, &error)->highContrast);
  EXPECT_EQ(ok->msgBoxType, -1);
  // The value may hold colons and equals signs ("pos" "21,5", a time, a sum).
  auto attr = ParseOptions({"A", "--attr", "card/line_1:tip=a:b=c"}, &error);
  ASSERT_TRUE(attr) << error;
  EXPECT_EQ(attr->attrs[0].control, L"card/line_1");
  EXPECT_EQ(attr->attrs[0].name, L"tip");
  EXPECT_EQ(attr->attrs[0].value, L"a:b=c");
  struct Bad {
    std::vector<std::string> args;
    const char* says;
  };
  for (const Bad& bad : std::vector<Bad>{{{}, "no layout"},
                                         {{"A", "B"}, "one layout"},
                                         {{"A", "--select", "tab"}, "TAB=PAGE"},
                                         {{"A", "--select", "tab=-1"}, "TAB=PAGE"},
                                         {{"A", "--dump"}, "needs a value"},
                                         {{"A", "--exit-after", "0"}, "milliseconds"},
                                         {{"A", "--part-size", "5"}, "W,H"},
                                         {{"A", "--redump", "0"}, "milliseconds"},
                                         {{"A", "--msgbox", "2"}, "0 (OK) or 1"},
                                         {{"A", "--dropdown"}, "needs a value"},
                                         {{"A", "--attr", "name=1"}, "NAME:ATTR=VALUE"},
                                         {{"A", "--attr", ":show=1"}, "NAME:ATTR=VALUE"},
                                         {{"A", "--attr", "name:=1"}, "NAME:ATTR=VALUE"},
                                         {{"A", "--bogus"}, "unknown option"}}) {
    error.clear();
    EXPECT_FALSE(ParseOptions(bad.args, &error));
    EXPECT_NE(error.find(bad.says), std::string::npos) << error;
  }
}

TEST(GalleryOptions, WrapsOnlyLayoutsThatAreNoWindow) {
  EXPECT_EQ(WrapPart("<SOUI width=\"10\" height=\"10\"/>", L"LAYOUT:X", 5, 5), "");
  EXPECT_EQ(WrapPart("<broken", L"LAYOUT:X", 5, 5), "");
  std::string wrapped = WrapPart("<include><text/></include>", L"LAYOUT:XML_PART", 70, 82);
  EXPECT_NE(wrapped.find("width=\"70\""), std::string::npos);
  EXPECT_NE(wrapped.find("<root colorBkgnd=\"#FFFFFF\"><include src=\"LAYOUT:XML_PART\""),
            std::string::npos);
}

TEST(GalleryOptions, TakesTheMenuPanelAsDropDownContent) {
  toolkit::SizeF size{0, 0};
  std::string content = DropDownContent(
      R"(<include><window name="m" pos="691,35" size="50,62" show="0"><button/></window></include>)",
      &size);
  EXPECT_EQ(size.w, 50);
  EXPECT_EQ(size.h, 62);
  EXPECT_NE(content.find(R"(<popup><window name="m" size="50,62" pos="0,0"><button/></window>)"),
            std::string::npos)
      << content;
  EXPECT_EQ(DropDownContent("<include><text/></include>", &size), "");
  EXPECT_EQ(DropDownContent("<broken", &size), "");
}

TEST(GalleryOptions, OpensTheSampleLayoutAndDumpsItsTree) {
  toolkit::headless::HeadlessPlatform platform;
  toolkit::SApplication app(&platform);
  auto files = std::make_unique<toolkit::FileResProvider>();
  ASSERT_TRUE(files->Init(KESTREL_TESTDATA_DIR "/gallery"));
  EXPECT_EQ(LayoutNames(*files).front(), L"LAYOUT:XML_BROKEN");
  auto layered = std::make_unique<LayeredResProvider>();
  layered->Add(std::move(files));
  app.Context().AddResProvider(std::move(layered));
  toolkit::SHostWnd host(app.Context(), L"LAYOUT:XML_SAMPLE");
  ASSERT_TRUE(host.Create());
  Options options;
  options.selects = {{L"tab_sample", 1}, {L"no_tab", 0}};
  options.texts = {{L"text_title", L"新标题"}};
  EXPECT_EQ(ApplyOptions(host, options), std::vector<std::wstring>{L"no_tab=0"});
  std::string dump = DumpTree(host, 1.5f, 10, 20);
  EXPECT_EQ(dump.substr(0, dump.find('\n')), "window 615 435 scale 1.5 at 10 20 layout 420 300");
  EXPECT_NE(dump.find("name=text_title rect=20,12"), std::string::npos);
  EXPECT_NE(dump.find("text=新标题"), std::string::npos);
  EXPECT_NE(dump.find("name=btn_back rect=20,246,100,32 shown=1"), std::string::npos) << dump;
  EXPECT_NE(dump.find("name=btn_back rect=20,246,100,32 shown=1 enabled=1 state=normal focus=0 "),
            std::string::npos);
  host.FindChildByName(L"btn_back")->SetFocus();
  host.FindChildByName(L"btn_back")->OnMouseHover(true);
  EXPECT_NE(DumpTree(host, 1, 0, 0).find(" state=hover focus=1 "), std::string::npos);
  // A path finds a control inside another; attributes are set as a layout sets them.
  EXPECT_EQ(FindControl(host, L"tab_sample/text_page2"), host.FindChildByName(L"text_page2"));
  EXPECT_EQ(FindControl(host, L"btn_back/text_page2"), nullptr);
  EXPECT_EQ(FindControl(host, L"tab_sample/"), nullptr);
  Options attrs;
  attrs.attrs = {{L"tab_sample/pro_sample", L"value", L"25"},
                 {L"busy_sample", L"show", L"0"},
                 {L"text_title", L"nonsense", L"1"},
                 {L"no_control", L"show", L"1"}};
  EXPECT_EQ(ApplyOptions(host, attrs),
            (std::vector<std::wstring>{L"text_title:nonsense", L"no_control:show"}));
  EXPECT_EQ(host.FindChildByName2<toolkit::SProgress>(L"pro_sample")->GetValue(), 25);
  EXPECT_FALSE(host.FindChildByName(L"busy_sample")->IsVisible());
  // The pictures come from the program's resources, which this test does not have.
  EXPECT_EQ(FormatDiagnostics(app.Context().GetDiagnostics()),
            "UIDEF:XML_INIT:8: missing image \"IMG.MAIN:logo\"\n");
}

TEST(GalleryOptions, NamesLayoutAndLineOfEachProblem) {
  std::vector<toolkit::Diagnostic> problems = {
      {toolkit::Diagnostic::kUnknownClass, L"LAYOUT:XML_MISTAKES", 4, L"unknown control class"}};
  EXPECT_EQ(FormatDiagnostics(problems), "LAYOUT:XML_MISTAKES:4: unknown control class\n");
}

}  // namespace
}  // namespace gallery
