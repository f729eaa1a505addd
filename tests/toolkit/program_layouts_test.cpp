// Every layout of the program loads without a problem, at its size, with the controls the
// program's code looks up by name.
#include <gtest/gtest.h>

#include <pugixml.hpp>

#include "headless.h"
#include "program_resources.h"
#include "toolkit/application.h"
#include "toolkit/controls.h"
#include "toolkit/listview.h"

namespace toolkit {
namespace {

using headless::HeadlessPlatform;

struct LayoutCase {
  const wchar_t* layout;
  float width, height;
  std::vector<const wchar_t*> names;
};

const LayoutCase kLayouts[] = {
    {L"LAYOUT:XML_MAINWND",
     810,
     510,
     {L"wnd_main",
      L"tab_main_op",
      L"win_main_tips",
      L"btn_sys_close",
      L"btn_sys_min",
      L"btn_sys_abort",
      L"btn_sys_feedback",
      L"btn_sys_run",
      L"checkbox_sys_agreement",
      L"btn_sys_agreement",
      L"ani_install_busy_2",
      L"detect_pro_showinfo_1",
      L"pro_main_detect",
      L"img_item_os",
      L"img_item_device",
      L"img_item_network",
      L"tab_item_op_1",
      L"tab_item_op_2",
      L"tab_item_op_3",
      L"btn_item_1_1",
      L"btn_item_1_2",
      L"btn_item_2_1",
      L"btn_item_2_2",
      L"btn_item_3_1",
      L"btn_item_3_2",
      L"text_item_suggest_3",
      L"detect_pro_info_1",
      L"detect_pro_info_2",
      L"btn_sys_look",
      L"btn_sys_back2",
      L"tab_item_op_4",
      L"tab_item_op_5",
      L"tab_item_op_6",
      L"btn_item_suggest_1",
      L"btn_item_suggest_2",
      L"btn_item_suggest_3",
      L"suggest_iteminfo_1",
      L"suggest_iteminfo_2",
      L"suggest_iteminfo_3",
      L"checkbox_sys_agreement_2",
      L"btn_agreement_close",
      L"agreement_edit",
      L"btn_sys_retry",
      L"btn_more_about",
      L"btn_more_help"}},
    {L"LAYOUT:XML_MSGBOX",
     324,
     214,
     {L"msgtitle", L"msgtext", L"btnSwitch", L"button1st", L"button2nd", L"button3rd"}},
    {L"LAYOUT:XML_POPWND_ABORT", 404, 267, {L"btn_popwnd_close"}},
    {L"LAYOUT:XML_POPWND_DNS", 320, 234, {L"pro_dns_set"}},
};

class ProgramLayouts : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(testing::AddProgramResources(app.Context(), &error)) << error;
  }
  HeadlessPlatform platform;
  SApplication app{&platform};
};

TEST_F(ProgramLayouts, DefinitionsLoadWithoutProblems) {
  EXPECT_TRUE(app.Context().GetDiagnostics().empty()) << testing::DiagnosticsText(app.Context());
  // The category pictures of a finished (1, 2) and of a cleared run (7, 8).
  for (const wchar_t* skin : {L"_skin.sys.shadow", L"_skin.item.icon.1", L"_skin.item.icon.2",
                              L"_skin.item.icon.7", L"_skin.item.icon.8"})
    EXPECT_NE(app.Context().GetUiDef().FindSkin(skin), nullptr) << WideToUtf8(skin);
}

TEST_F(ProgramLayouts, EachOpensAtItsSizeWithItsNamedControls) {
  for (const auto& c : kLayouts) {
    SCOPED_TRACE(WideToUtf8(c.layout));
    app.Context().ClearDiagnostics();
    SHostWnd host(app.Context(), c.layout);
    ASSERT_TRUE(host.Create());
    EXPECT_TRUE(app.Context().GetDiagnostics().empty()) << testing::DiagnosticsText(app.Context());
    EXPECT_FLOAT_EQ(host.GetWindowSize().w, c.width);
    EXPECT_FLOAT_EQ(host.GetWindowSize().h, c.height);
    for (const wchar_t* name : c.names)
      EXPECT_NE(host.FindChildByName(name), nullptr) << WideToUtf8(name);
    // Painting every page touches every skin and picture.
    EXPECT_FALSE(platform.WindowOf(host)->Paint().ops.empty());
  }
}

TEST_F(ProgramLayouts, MainWindowPagesHoldTheirControls) {
  SHostWnd host(app.Context(), L"LAYOUT:XML_MAINWND");
  ASSERT_TRUE(host.Create());
  auto* tabs = host.FindChildByName2<STabCtrl>(L"tab_main_op");
  ASSERT_NE(tabs, nullptr);
  ASSERT_EQ(tabs->GetItemCount(), 5);
  EXPECT_EQ(tabs->GetCurSel(), 0);
  const std::vector<std::vector<const wchar_t*>> pages = {
      {L"btn_sys_run", L"checkbox_sys_agreement", L"btn_sys_agreement", L"btn_sys_feedback",
       L"btn_sys_close"},
      {L"ani_install_busy_2", L"pro_main_detect", L"tab_item_op_1", L"tab_item_op_3"},
      {L"detect_pro_info_1", L"detect_pro_info_2", L"btn_sys_look", L"tab_item_op_6"},
      {L"checkbox_sys_agreement_2", L"btn_agreement_close", L"agreement_edit",
       L"btn_sys_agreement"},
      {L"btn_sys_retry", L"btn_sys_feedback", L"btn_sys_min"}};
  for (size_t page = 0; page < pages.size(); ++page) {
    for (const wchar_t* name : pages[page])
      EXPECT_NE(tabs->GetItem(static_cast<int>(page))->FindChildByName(name), nullptr)
          << "page " << page << ": " << WideToUtf8(name);
  }
  // The feedback link is on the start and no-network pages only.
  EXPECT_EQ(tabs->GetItem(1)->FindChildByName(L"btn_sys_feedback"), nullptr);
  EXPECT_EQ(tabs->GetItem(2)->FindChildByName(L"btn_sys_feedback"), nullptr);
}

TEST_F(ProgramLayouts, MainWindowTextsAndPlaces) {
  SHostWnd host(app.Context(), L"LAYOUT:XML_MAINWND");
  ASSERT_TRUE(host.Create());
  struct Expect {
    const wchar_t* name;
    const wchar_t* text;
    float x, y;  // body pixels; -1 when not fixed
  };
  const Expect expects[] = {
      {L"btn_sys_run", L"开始检测", 300, 400},
      {L"checkbox_sys_agreement", L"同意", 290, 478},
      {L"btn_sys_agreement", L"《Tarvos服务工具使用许可协议》", -1, -1},
      {L"btn_sys_feedback", L"意见反馈", 15, 476},
      {L"detect_pro_showinfo_1", L"检测内存信息...", -1, -1},
      {L"btn_sys_look", L"查看完整报告", -1, -1},
      {L"suggest_iteminfo_3", L"...", -1, -1},
      {L"text_item_suggest_3", L"去优化", -1, -1},
      {L"btn_more_about", L"关于", -1, -1},
      {L"btn_more_help", L"帮助", -1, -1},
  };
  for (const auto& e : expects) {
    SCOPED_TRACE(WideToUtf8(e.name));
    SWindow* control = host.FindChildByName(e.name);
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(control->GetWindowText(), e.text);
    if (e.x >= 0) {
      EXPECT_FLOAT_EQ(control->GetWindowRect().x, e.x);
      EXPECT_FLOAT_EQ(control->GetWindowRect().y, e.y);
    }
  }
  EXPECT_TRUE(headless::Checked(host, L"checkbox_sys_agreement"));
  EXPECT_FALSE(host.FindChildByName(L"win_main_tips")->IsVisible());
  RectF menu = host.FindChildByName(L"win_main_tips")->GetWindowRect();
  EXPECT_FLOAT_EQ(menu.x, 691);
  EXPECT_FLOAT_EQ(menu.y, 35);
  EXPECT_FLOAT_EQ(menu.w, 50);
  EXPECT_FLOAT_EQ(menu.h, 62);
  EXPECT_EQ(host.FindChildByName(L"btn_sys_close")->GetToolTipText(), L"关闭");
  EXPECT_EQ(host.FindChildByName(L"btn_sys_min")->GetToolTipText(), L"最小化");
  EXPECT_EQ(host.FindChildByName(L"btn_sys_abort")->GetToolTipText(), L"更多");
  // The category cards wait on "待检测", the result cards on their "fine" page.
  for (const wchar_t* card : {L"tab_item_op_1", L"tab_item_op_2", L"tab_item_op_3"})
    EXPECT_EQ(headless::Page(host, card), 3);
  // The score sits in a ring of the accent colour.
  host.FindChildByName2<STabCtrl>(L"tab_main_op")->SetCurSel(2);
  RectF ring = host.FindChildByName(L"detect_pro_info_2")->GetParent()->GetWindowRect();
  bool ringed = false;
  for (const auto& op : platform.WindowOf(host)->Paint().ops)
    ringed |= op.kind == headless::DrawOp::kArc && op.rect.x > ring.x && op.rect.w < ring.w &&
              op.rect.w > ring.w - 4 && op.color.b == 246 && op.color.r == 52;
  EXPECT_TRUE(ringed);
  auto* agreement = host.FindChildByName2<SRichEdit>(L"agreement_edit");
  ASSERT_NE(agreement, nullptr);
  EXPECT_EQ(agreement->GetRtf().rfind("{\\rtf1", 0), 0u);
  EXPECT_GT(agreement->GetRtf().size(), 5000u);
  // Its native view waits for the page to show, then keeps its window across page changes.
  EXPECT_EQ(agreement->GetChildHandle(), 0u);
  auto* pages = host.FindChildByName2<STabCtrl>(L"tab_main_op");
  std::uintptr_t made = 0;
  for (int page : {3, 0, 3}) {
    SCOPED_TRACE(page);
    pages->SetCurSel(page);
    ASSERT_NE(agreement->GetChildHandle(), 0u);
    if (!made)
      made = agreement->GetChildHandle();
    EXPECT_EQ(agreement->GetChildHandle(), made);
    const auto& child = platform.WindowOf(host)->Children().at(made);
    EXPECT_EQ(child.visible, page == 3);
    EXPECT_EQ(child.rtf, agreement->GetRtf());
  }
  EXPECT_EQ(platform.WindowOf(host)->Children().size(), 1u);
}

TEST_F(ProgramLayouts, MessageBoxFromTheTemplate) {
  pugi::xml_document doc;
  ASSERT_TRUE(app.Context().LoadXmlDocment(doc, L"XML_MSGBOX", L"LAYOUT"));
  app.Context().SetMsgTemplate(doc.child("SOUI"));
  SHostWnd owner(app.Context(), L"LAYOUT:XML_MAINWND");
  ASSERT_TRUE(owner.Create());
  struct Case {
    int type;
    const wchar_t* press;
    int result;
    std::wstring first, second;
  };
  const Case cases[] = {{kMessageBoxOk, L"button1st", kDialogOk, L"确定", L""},
                        {kMessageBoxOkCancel, L"button1st", kDialogOk, L"确定", L"取消"},
                        {kMessageBoxOkCancel, L"button2nd", kDialogCancel, L"确定", L"取消"}};
  for (const auto& c : cases) {
    std::wstring title, text, first, second;
    platform.OnNextModal([&](SHostWnd& box) {
      title = headless::Text(box, L"msgtitle");
      text = headless::Text(box, L"msgtext");
      auto* page = box.FindChildByName2<STabCtrl>(L"btnSwitch");
      STabPage* buttons = page->GetItem(page->GetCurSel());
      first = buttons->FindChildByName(L"button1st")->GetWindowText();
      if (SWindow* two = buttons->FindChildByName(L"button2nd"))
        second = two->GetWindowText();
      headless::Click(box, c.press);
    });
    EXPECT_EQ(SMessageBox(&owner, L"正在检测中,确认退出吗？", L"提示", c.type), c.result);
    EXPECT_EQ(title, L"提示");
    EXPECT_EQ(text, L"正在检测中,确认退出吗？");
    EXPECT_EQ(first, c.first);
    EXPECT_EQ(second, c.second);
  }
  EXPECT_TRUE(app.Context().GetDiagnostics().empty()) << testing::DiagnosticsText(app.Context());
}

}  // namespace
}  // namespace toolkit
