#include <gtest/gtest.h>

#include <pugixml.hpp>

#include "headless.h"
#include "toolkit/application.h"
#include "toolkit/controls.h"

namespace toolkit {
namespace {

using headless::HeadlessPlatform;

class Layout : public SHostWnd {
 public:
  Layout(UiContext& context, const char* xml) : SHostWnd(context, L"") {
    doc_.load_string(xml);
    SetLayoutXml(doc_.first_child());
  }
  std::vector<std::wstring> commands;

 protected:
  void _HandleEvent(EventArgs* evt) override {
    if (evt->GetID() == EVT_CMD)
      commands.push_back(evt->nameFrom);
  }

 private:
  pugi::xml_document doc_;
};

TEST(ToolkitTree, FindsControlsClicksAndSwitchesPages) {
  HeadlessPlatform platform;
  SApplication app(&platform);
  Layout host(app.Context(), R"(<SOUI width="300" height="200"><root>
      <tabctrl name="tabs" pos="0,0,-0,-0" curSel="0">
        <page><button name="go" pos="10,10" size="80,30">Go</button></page>
        <page><check name="agree" pos="10,10" size="80,20">ok</check></page>
      </tabctrl></root></SOUI>)");
  ASSERT_TRUE(host.Create());
  EXPECT_EQ(host.FindChildByName(L"missing"), nullptr);
  ASSERT_NE(host.FindChildByName(L"agree"), nullptr);
  EXPECT_TRUE(headless::Click(host, L"go"));
  EXPECT_EQ(host.commands, std::vector<std::wstring>{L"go"});
  EXPECT_FALSE(headless::Click(host, L"agree"));  // on the hidden page
  host.FindChildByName2<STabCtrl>(L"tabs")->SetCurSel(1);
  EXPECT_TRUE(headless::Click(host, L"agree"));
  EXPECT_TRUE(headless::Checked(host, L"agree"));
  EXPECT_TRUE(app.Context().GetDiagnostics().empty());
}

}  // namespace
}  // namespace toolkit
