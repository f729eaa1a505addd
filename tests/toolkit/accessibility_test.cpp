// The accessible tree of the program's layouts as readers get it through the platform window:
// roles, names, states and order per layout, pages and hidden controls dropping out, the events
// readers follow, default actions, hit testing and ids.
#include <gtest/gtest.h>

#include <pugixml.hpp>

#include <algorithm>
#include <set>

#include "command_host.h"
#include "headless.h"
#include "program_resources.h"
#include "toolkit/application.h"
#include "toolkit/controls.h"

namespace toolkit {
namespace {

using headless::HeadlessPlatform;
using Lines = std::vector<std::wstring>;

using Commands = testing::CommandHost;

class Accessibility : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(testing::AddProgramResources(app.Context(), &error)) << error;
    ASSERT_TRUE(main.Create());
  }
  void ShowPage(int page) { main.FindChildByName2<STabCtrl>(L"tab_main_op")->SetCurSel(page); }
  long IdOf(const std::wstring& controlName) {
    return main.FindChildByName(controlName)->GetAccId();
  }
  std::vector<headless::HeadlessWindow::AccRecord> Events() {
    return platform.WindowOf(main)->AccEvents();
  }
  HeadlessPlatform platform;
  SApplication app{&platform};
  Commands main{app.Context(), L"LAYOUT:XML_MAINWND"};
};

const Lines kCaption = {
    L"  text \"Tarvos-Lessora V2.1.20.928\"",
    L"  push button \"更多\" focusable Press",
    L"  push button \"最小化\" focusable Press",
    L"  push button \"关闭\" focusable Press",
};

struct TreeCase {
  const wchar_t* layout;
  int page;  // of the main window's pages; -1 for another layout
  Lines lines;
};

Lines WithCaption(const wchar_t* window, Lines rest) {
  Lines lines{window};
  lines.insert(lines.end(), kCaption.begin(), kCaption.end());
  lines.insert(lines.end(), rest.begin(), rest.end());
  return lines;
}

TEST_F(Accessibility, EachLayoutsTreeInOrder) {
  const TreeCase cases[] = {
      {L"LAYOUT:XML_MAINWND", 0,
       WithCaption(L"window \"Lessora\"",
                   {L"  graphic \"检测插图\"", L"  text \"网课环境检测\"",
                    L"  text \"一键检查麦克风、摄像头、电脑配置和网络，看看能否顺利上网课\"",
                    L"  push button \"开始检测\" focusable Press",
                    L"  check box \"同意\" focusable checked Uncheck",
                    L"  link \"《Tarvos服务工具使用许可协议》\" focusable Jump",
                    L"  link \"意见反馈\" focusable Jump"})},
      {L"LAYOUT:XML_MAINWND", 3,
       WithCaption(
           L"window \"Lessora\"",
           {L"  text \"Tarvos服务工具使用许可协议\"", L"  push button \"关闭\" focusable Press",
            L"  editable text \"\" focusable readonly",
            L"  text \"请仔细阅读协议内容，勾选“同意”后即可开始检测\"",
            L"  check box \"同意\" focusable checked Uncheck",
            L"  link \"《Tarvos服务工具使用许可协议》\" focusable Jump"})},
      {L"LAYOUT:XML_MAINWND", 4,
       WithCaption(
           L"window \"Lessora\"",
           {L"  graphic \"网络未连接\"", L"  text \"网\"", L"  text \"络\"",
            L"  text \"连接失败，请重新检测网\"", L"  text \"络\"",
            L"  text \"请检查网线或无线网络是否已连接好\"",
            L"  push button \"返回首页\" focusable Press", L"  link \"意见反馈\" focusable Jump"})},
      {L"LAYOUT:XML_POPWND_ABORT",
       -1,
       {L"window \"关于\"", L"  text \"关于\"", L"  push button \"关闭\" focusable Press",
        L"  graphic \"Lessora 标志\"", L"  text \"Lessora\"", L"  text \"当前版本：2.1.20.928\"",
        L"  text \"网课环境一键检测，让每一节网课顺利开始\""}},
      {L"LAYOUT:XML_POPWND_DNS",
       -1,
       {L"window \"DNS优化中\"", L"  graphic \"网络\"", L"  text \"DNS优化中\"",
        L"  progress bar \"DNS优化进度\" =0", L"  text \"请稍候，马上就好\""}},
      {L"LAYOUT:XML_MSGBOX",
       -1,
       {L"window \"提示\"", L"  text \"提示\"", L"  text \"\"",
        L"  push button \"确定\" focusable Press"}},
  };
  for (const TreeCase& c : cases) {
    SCOPED_TRACE(WideToUtf8(c.layout) + " page " + std::to_string(c.page));
    SHostWnd other(app.Context(), c.layout);
    SHostWnd* host = &main;
    if (c.page >= 0) {
      ShowPage(c.page);
    } else {
      ASSERT_TRUE(other.Create());
      host = &other;
    }
    Lines got = headless::AccLines(*host);
    ASSERT_EQ(got.size(), c.lines.size()) << WideToUtf8(got.back());
    for (size_t i = 0; i < got.size(); ++i)
      EXPECT_EQ(WideToUtf8(got[i]), WideToUtf8(c.lines[i])) << "line " << i;
  }
}

// Every picture and icon button of every layout has a name; the detection page's status,
// progress, score and problem count can be found by what they are.
TEST_F(Accessibility, NothingShownIsNameless) {
  for (int page = 0; page < 5; ++page) {
    ShowPage(page);
    AccTree tree = main.GetAccessibleTree();
    for (const AccNode& node : tree.Nodes()) {
      if (node.role == AccRole::kStaticText || node.role == AccRole::kEditText ||
          node.role == AccRole::kAnimation)
        continue;
      EXPECT_FALSE(node.name.empty())
          << "page " << page << ": " << WideToUtf8(AccRoleName(node.role));
    }
  }
  ShowPage(1);
  AccTree tree = main.GetAccessibleTree();
  auto described = [&](const wchar_t* what) {
    return std::count_if(tree.Nodes().begin(), tree.Nodes().end(),
                         [&](const AccNode& n) { return n.description == what; });
  };
  EXPECT_EQ(described(L"检测状态"), 1);
  EXPECT_GE(tree.FindByName(L"检测进度"), 1);
  ShowPage(2);
  tree = main.GetAccessibleTree();
  EXPECT_EQ(described(L"综合得分"), 1);
  EXPECT_EQ(described(L"问题数"), 1);
}

TEST_F(Accessibility, HiddenPagesAndControlsDropOut) {
  EXPECT_GT(main.GetAccessibleTree().FindByName(L"开始检测"), 0);
  EXPECT_LT(main.GetAccessibleTree().FindByName(L"检测进度"), 0);
  platform.WindowOf(main)->ClearAccEvents();
  ShowPage(1);
  AccTree tree = main.GetAccessibleTree();
  EXPECT_LT(tree.FindByName(L"开始检测"), 0);
  EXPECT_GT(tree.FindByName(L"检测进度"), 0);
  // Header-less pages have no node of their own: readers hear that the window's list changed.
  auto events = Events();
  EXPECT_TRUE(std::any_of(events.begin(), events.end(), [](const auto& e) {
    return e.event == AccEvent::kReorder && e.id == 0;
  }));
  // The more menu's buttons come and go with it.
  ShowPage(0);
  EXPECT_LT(main.GetAccessibleTree().FindByName(L"关于"), 0);
  main.FindChildByName(L"win_main_tips")->SetVisible(true);
  EXPECT_GT(main.GetAccessibleTree().FindByName(L"关于"), 0);
  main.FindChildByName(L"win_main_tips")->SetVisible(false);
  EXPECT_LT(main.GetAccessibleTree().FindByName(L"关于"), 0);
}

struct EventCase {
  const char* what;
  int page;
  std::function<void(Commands&)> change;
  const wchar_t* control;  // whose id the event carries; null: no event at all
  AccEvent event;
};

TEST_F(Accessibility, ChangesRaiseTheirEvents) {
  const EventCase cases[] = {
      {"status text", 1,
       [](Commands& w) { w.FindChildByName(L"detect_pro_showinfo_1")->SetWindowText(L"检测网络"); },
       L"detect_pro_showinfo_1", AccEvent::kNameChange},
      {"same text again", 1,
       [](Commands& w) { w.FindChildByName(L"detect_pro_showinfo_1")->SetWindowText(L"检测网络"); },
       nullptr, AccEvent::kNameChange},
      {"progress", 1,
       [](Commands& w) { w.FindChildByName2<SProgress>(L"pro_main_detect")->SetValue(40); },
       L"pro_main_detect", AccEvent::kValueChange},
      {"progress clamped to the same end", 1,
       [](Commands& w) {
         auto* bar = w.FindChildByName2<SProgress>(L"pro_main_detect");
         bar->SetValue(1000);
       },
       L"pro_main_detect", AccEvent::kValueChange},
      {"score on the shown results page", 2,
       [](Commands& w) { w.FindChildByName(L"detect_pro_info_2")->SetWindowText(L"86"); },
       L"detect_pro_info_2", AccEvent::kNameChange},
      {"problem count on a hidden page", 0,
       [](Commands& w) { w.FindChildByName(L"detect_pro_info_1")->SetWindowText(L"3"); }, nullptr,
       AccEvent::kNameChange},
      {"check box", 0, [](Commands& w) { headless::Click(w, L"checkbox_sys_agreement"); },
       L"checkbox_sys_agreement", AccEvent::kStateChange},
      {"button disabled", 0,
       [](Commands& w) { w.FindChildByName(L"btn_sys_run")->EnableWindow(false); }, L"btn_sys_run",
       AccEvent::kStateChange},
      {"focus by Tab", 0,
       [](Commands& w) {
         w.FindChildByName(L"btn_sys_run")->SetFocus();
         headless::PressKey(w, Key::kTab);
       },
       L"checkbox_sys_agreement", AccEvent::kFocus},
  };
  for (const EventCase& c : cases) {
    SCOPED_TRACE(c.what);
    ShowPage(c.page);
    main.FindChildByName(L"btn_sys_run")->EnableWindow(true);
    platform.WindowOf(main)->ClearAccEvents();
    c.change(main);
    auto events = Events();
    if (!c.control) {
      EXPECT_TRUE(events.empty()) << events.size();
      continue;
    }
    long id = IdOf(c.control);
    EXPECT_TRUE(std::any_of(events.begin(), events.end(),
                            [&](const auto& e) { return e.event == c.event && e.id == id; }))
        << events.size() << " events";
  }
}

struct PressCase {
  const wchar_t* name;
  bool done;
  const wchar_t* command;  // what the window then hears; null for nothing
};

TEST_F(Accessibility, DefaultActionsAsReadersAskForThem) {
  const PressCase cases[] = {
      {L"开始检测", true, L"btn_sys_run"}, {L"意见反馈", true, L"btn_sys_feedback"},
      {L"网课环境检测", false, nullptr},  // a label has no action
      {L"无此控件", false, nullptr},       {L"", false, nullptr},
      {L"检测进度", false, nullptr},  // on a hidden page
  };
  for (const PressCase& c : cases) {
    SCOPED_TRACE(WideToUtf8(c.name));
    ShowPage(0);
    main.commands.clear();
    EXPECT_EQ(headless::AccPress(main, c.name), c.done);
    if (c.command)
      EXPECT_EQ(main.commands, std::vector<std::wstring>{c.command});
    else
      EXPECT_TRUE(main.commands.empty());
  }
  // A check box's action unchecks it and then says "Check"; a disabled button has none left.
  ASSERT_TRUE(headless::AccPress(main, L"同意"));
  EXPECT_FALSE(headless::Checked(main, L"checkbox_sys_agreement"));
  AccTree tree = main.GetAccessibleTree();
  EXPECT_EQ(tree.Nodes()[static_cast<size_t>(tree.FindByName(L"同意"))].action, AccAction::kCheck);
  main.FindChildByName(L"btn_sys_run")->EnableWindow(false);
  main.commands.clear();
  EXPECT_FALSE(headless::AccPress(main, L"开始检测"));
  EXPECT_TRUE(main.commands.empty());
  tree = main.GetAccessibleTree();
  EXPECT_TRUE(tree.Nodes()[static_cast<size_t>(tree.FindByName(L"开始检测"))].state &
              kAccUnavailable);
}

TEST_F(Accessibility, HitTestFocusAndIds) {
  AccTree tree = main.GetAccessibleTree();
  RectF run = main.FindChildByName(L"btn_sys_run")->GetWindowRect();
  RectF close = main.FindChildByName(L"btn_sys_close")->GetWindowRect();
  struct Hit {
    PointF at;
    const wchar_t* name;  // null: outside the window (-1); empty: the window itself
  };
  const Hit hits[] = {
      {{run.x + run.w / 2, run.y + run.h / 2}, L"开始检测"},
      {{run.x, run.y}, L"开始检测"},
      {{run.x + run.w, run.y + run.h / 2}, L""},
      {{close.x + close.w / 2, close.y + close.h / 2}, L"关闭"},  // its picture is part of it
      {{-1, 10}, nullptr},
      {{10, 10000}, nullptr},
      {{5, 470}, L""},
  };
  for (const Hit& h : hits) {
    int index = tree.HitTest(h.at);
    if (!h.name) {
      EXPECT_EQ(index, -1) << h.at.x << "," << h.at.y;
    } else if (!*h.name) {
      EXPECT_EQ(index, 0) << h.at.x << "," << h.at.y;
    } else {
      ASSERT_GT(index, 0) << h.at.x << "," << h.at.y;
      EXPECT_EQ(tree.Nodes()[static_cast<size_t>(index)].name, h.name);
    }
  }
  // Ids are unique, the same in every snapshot, and unknown ones find nothing.
  std::set<long> ids;
  for (const AccNode& node : tree.Nodes())
    ids.insert(node.id);
  EXPECT_EQ(ids.size(), tree.Nodes().size());
  AccTree again = main.GetAccessibleTree();
  EXPECT_EQ(again.Nodes()[static_cast<size_t>(again.FindByName(L"开始检测"))].id,
            IdOf(L"btn_sys_run"));
  EXPECT_EQ(again.Find(-5), nullptr);
  EXPECT_EQ(again.Find(IdOf(L"pro_main_detect")), nullptr);  // hidden page
  // Focus: only where a click would put it.
  EXPECT_EQ(tree.Focus(), 0);
  const int picture = tree.FindByName(L"检测插图");
  ASSERT_GT(picture, 0);
  EXPECT_FALSE(main.FocusAccessible(tree.Nodes()[static_cast<size_t>(picture)].id));  // a picture
  EXPECT_FALSE(main.FocusAccessible(IdOf(L"pro_main_detect")));
  EXPECT_FALSE(main.FocusAccessible(987654321));
  EXPECT_TRUE(main.FocusAccessible(IdOf(L"btn_sys_run")));
  AccTree focused = main.GetAccessibleTree();
  EXPECT_EQ(focused.Nodes()[static_cast<size_t>(focused.Focus())].name, L"开始检测");
  EXPECT_EQ(headless::FocusName(main), L"btn_sys_run");
}

TEST_F(Accessibility, DialogsAreDialogsAndSayWhenTheyStart) {
  pugi::xml_document doc;
  ASSERT_TRUE(app.Context().LoadXmlDocment(doc, L"XML_MSGBOX", L"LAYOUT"));
  app.Context().SetMsgTemplate(doc.child("SOUI"));
  AccRole role = AccRole::kNone;
  std::wstring name, text;
  bool started = false;
  platform.OnNextModal([&](SHostWnd& box) {
    AccTree tree = box.GetAccessibleTree();
    role = tree.Nodes()[0].role;
    name = tree.Nodes()[0].name;
    text = tree.Nodes()[2].name;
    for (const auto& e : platform.WindowOf(box)->AccEvents())
      started |= e.event == AccEvent::kDialogStart && e.id == 0;
    EXPECT_TRUE(headless::AccPress(box, L"确定"));
  });
  EXPECT_EQ(SMessageBox(&main, L"正在检测中,确认退出吗？", L"提示", kMessageBoxOk), kDialogOk);
  EXPECT_EQ(role, AccRole::kDialog);
  EXPECT_EQ(name, L"提示");
  EXPECT_EQ(text, L"正在检测中,确认退出吗？");
  EXPECT_TRUE(started);
}

}  // namespace
}  // namespace toolkit
