// What the program's code relies on: custom control classes, lookups by name, pages, check
// boxes, sliders, list views, drop-downs, dialogs, timers, frame ticks and the keyboard.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include <pugixml.hpp>

#include "headless.h"
#include "memory_provider.h"
#include "toolkit/application.h"
#include "toolkit/controls.h"
#include "toolkit/listview.h"

namespace toolkit {
namespace {

using headless::HeadlessPlatform;

using Files = testing::MemoryProvider;

// A window from a named layout that records the commands and slider moves reaching it.
class Recorder : public SHostDialog {
 public:
  using SHostDialog::SHostDialog;
  std::vector<std::wstring> commands;
  std::vector<std::pair<std::wstring, int>> sliders;
  std::vector<unsigned> timers;  // ids in firing order
  std::vector<std::uint64_t> timerTimes;
  HeadlessPlatform* platform = nullptr;
  int endOn = 0;  // end the dialog with this code on any command

 protected:
  void _HandleEvent(EventArgs* evt) override {
    if (evt->GetID() == EVT_CMD) {
      commands.push_back(evt->nameFrom);
      if (endOn)
        EndDialog(endOn);
    }
    if (evt->GetID() == EVT_SLIDER_POS)
      sliders.emplace_back(evt->nameFrom, static_cast<EventSliderPos*>(evt)->nPos);
  }
  void OnTimerEvent(unsigned id) override {
    timers.push_back(id);
    if (platform)
      timerTimes.push_back(platform->Now());
  }
};

class Behaviour : public ::testing::Test {
 protected:
  void Use(std::map<std::wstring, std::string> files) {
    app.Context().AddResProvider(std::make_unique<Files>(std::move(files)), L"");
  }
  HeadlessPlatform platform;
  SApplication app{&platform};
};

// --- a custom control class, as the waveform is one ---
class SWaveProbe : public SImageWnd, public ITimelineHandler {
 public:
  TOOLKIT_CLASS_NAME(SImageWnd, L"MicAudioAnimator")
  bool SetAttribute(const std::wstring& name, const std::wstring& value,
                    bool loading = false) override {
    if (name == L"speed")
      return AttrInt(name, value, &speed);
    return SImageWnd::SetAttribute(name, value, loading);
  }
  void OnNextFrame() override {
    if (++frames % std::max(1, speed / 10) == 0)
      ++repaints;
  }
  int speed = 30, frames = 0, repaints = 0;
};

TEST_F(Behaviour, CustomControlFromLayoutRunsOnFrameTicks) {
  app.Context().RegisterWindowClass<SWaveProbe>();
  Use({{L"LAYOUT:POP", R"(<SOUI width="300" height="200"><root>
         <MicAudioAnimator name="AudioAnimator" pos="0,30" size="240,100" speed="40"/>
       </root></SOUI>)"}});
  Recorder host(app.Context(), L"LAYOUT:POP");
  ASSERT_TRUE(host.Create());
  auto* wave = host.FindChildByName2<SWaveProbe>(L"AudioAnimator");
  ASSERT_NE(wave, nullptr);
  EXPECT_TRUE(wave->IsClass(L"MicAudioAnimator"));
  EXPECT_TRUE(wave->IsClass(L"img"));
  EXPECT_EQ(wave->speed, 40);
  EXPECT_FLOAT_EQ(wave->GetWindowRect().w, 240);
  wave->GetContainer()->RegisterTimelineHandler(wave);
  platform.Advance(HeadlessPlatform::kFrameMs * 10);
  EXPECT_EQ(wave->frames, 10);
  EXPECT_EQ(wave->repaints, 2);  // after ticks 4 and 8
  wave->GetContainer()->UnregisterTimelineHandler(wave);
  platform.Advance(HeadlessPlatform::kFrameMs * 10);
  EXPECT_EQ(wave->frames, 10);
  EXPECT_TRUE(app.Context().GetDiagnostics().empty());
}

TEST_F(Behaviour, NamesArePresentAbsentNestedAndIncluded) {
  Use({{L"LAYOUT:PART", R"(<include><button name="from_part" pos="0,0" size="40,20"/></include>)"},
       {L"LAYOUT:MAIN", R"(<SOUI width="300" height="200"><root>
         <tabctrl name="tabs" curSel="0">
           <page><text name="top">a</text></page>
           <page><tabctrl name="inner" curSel="1"><page/><page>
             <text name="deep">b</text></page></tabctrl></page>
         </tabctrl>
         <include src="LAYOUT:PART"/>
       </root></SOUI>)"}});
  Recorder host(app.Context(), L"LAYOUT:MAIN");
  ASSERT_TRUE(host.Create());
  EXPECT_NE(host.FindChildByName(L"top"), nullptr);
  EXPECT_EQ(host.FindChildByName(L"nowhere"), nullptr);
  EXPECT_EQ(headless::Text(host, L"deep"), L"b");
  EXPECT_EQ(host.FindChildByName(L"deep", 1), nullptr);  // deeper than one level
  EXPECT_TRUE(headless::Click(host, L"from_part"));
  EXPECT_EQ(host.commands, std::vector<std::wstring>{L"from_part"});
  EXPECT_FALSE(headless::Click(host, L"nowhere"));
  EXPECT_TRUE(app.Context().GetDiagnostics().empty());
}

TEST_F(Behaviour, PagesChecksAndSliders) {
  Use({{L"LAYOUT:MAIN", R"(<SOUI width="300" height="200"><root>
         <tabctrl name="tabs" curSel="0"><page><text>0</text></page><page/><page/></tabctrl>
         <check name="agree" pos="10,10" size="80,20" checked="1">同意</check>
         <sliderbar name="slider_audio" pos="10,50" size="200,20" min="0" max="100" value="30"/>
       </root></SOUI>)"}});
  Recorder host(app.Context(), L"LAYOUT:MAIN");
  ASSERT_TRUE(host.Create());
  auto* tabs = host.FindChildByName2<STabCtrl>(L"tabs");
  EXPECT_TRUE(tabs->SetCurSel(2));
  EXPECT_EQ(headless::Page(host, L"tabs"), 2);
  EXPECT_FALSE(tabs->SetCurSel(3));
  EXPECT_EQ(headless::Page(host, L"tabs"), 2);

  EXPECT_TRUE(headless::Checked(host, L"agree"));
  headless::Click(host, L"agree");
  EXPECT_FALSE(headless::Checked(host, L"agree"));
  headless::Click(host, L"agree");
  EXPECT_TRUE(headless::Checked(host, L"agree"));
  EXPECT_EQ(host.commands, (std::vector<std::wstring>{L"agree", L"agree"}));

  EXPECT_EQ(headless::Value(host, L"slider_audio"), 30);
  for (int value : {70, 0, 100}) {
    ASSERT_TRUE(headless::DragSlider(host, L"slider_audio", value));
    EXPECT_EQ(headless::Value(host, L"slider_audio"), value);
  }
  ASSERT_FALSE(host.sliders.empty());
  EXPECT_EQ(host.sliders.back(), std::make_pair(std::wstring(L"slider_audio"), 100));
  size_t moves = host.sliders.size();
  host.FindChildByName2<SSliderBar>(L"slider_audio")->SetValue(50);  // not the user: no event
  EXPECT_EQ(host.sliders.size(), moves);
  EXPECT_EQ(headless::Value(host, L"slider_audio"), 50);
}

// --- list views and drop-downs ---
class NamesAdapter : public SMcAdapterBase {
 public:
  explicit NamesAdapter(std::vector<std::wstring> names) : names_(std::move(names)) {}
  int getCount() override { return static_cast<int>(names_.size()); }
  void getView(int position, SItemPanel* panel, pugi::xml_node templ) override {
    if (panel->GetChildrenCount() == 0)
      panel->InitFromTemplate(templ);
    if (SWindow* text = panel->FindChildByName(L"device_name_item"))
      text->SetWindowText(names_[static_cast<size_t>(position) % names_.size()]);
  }
  std::wstring GetColumnName(int) const override { return L"col_nick"; }

 private:
  std::vector<std::wstring> names_;
};

const char* kListLayout = R"(<listview name="lv_dropdown_1" pos="0,0,-0,-0" itemHeight="30">
    <template><text name="device_name_item" pos="8,0,-8,-0"/></template></listview>)";

TEST_F(Behaviour, ListViewFromAnAdapterAndAnItemClick) {
  Use({{L"LAYOUT:MAIN",
        std::string(R"(<SOUI width="300" height="200"><root>)") + kListLayout + "</root></SOUI>"}});
  Recorder host(app.Context(), L"LAYOUT:MAIN");
  ASSERT_TRUE(host.Create());
  auto* list = host.FindChildByName2<SListView>(L"lv_dropdown_1");
  ASSERT_NE(list, nullptr);
  auto adapter =
      std::make_shared<NamesAdapter>(std::vector<std::wstring>{L"麦克风 A", L"麦克风 B"});
  list->SetAdapter(adapter);
  list->SetSel(0);
  adapter->notifyDataSetChanged();
  ASSERT_EQ(list->GetItemCount(), 2);
  EXPECT_EQ(list->GetItemPanel(1)->FindChildByName(L"device_name_item")->GetWindowText(),
            L"麦克风 B");
  EXPECT_FLOAT_EQ(list->GetItemPanel(1)->GetWindowRect().h, 30);
  ASSERT_TRUE(headless::ClickItem(host, L"lv_dropdown_1", 1));
  EXPECT_EQ(list->GetSel(), 1);
  EXPECT_EQ(host.commands, std::vector<std::wstring>{L"lv_dropdown_1"});
  EXPECT_FALSE(headless::ClickItem(host, L"lv_dropdown_1", 2));
}

// A drop-down owner like the device lists': a list click ends it with 1.
class DropOwner : public SWindow, public ISDropDownOwner {
 public:
  SWindow* GetDropDownOwner() override { return this; }
  void OnDestroyDropDown(SDropDownWnd* drop) override {
    exitCodes.push_back(drop->GetExitCode());
    if (drop->GetExitCode() == kDialogOk)
      selections.push_back(drop->FindChildByName2<SListView>(L"lv_dropdown_1")->GetSel());
    window = nullptr;
  }
  void FireEvent(EventArgs& evt) override {
    if (window && evt.GetID() == EVT_CMD && evt.nameFrom == L"lv_dropdown_1") {
      window->EndDropDown(kDialogOk);
      ++evt.handled;
      return;
    }
    SWindow::FireEvent(evt);
  }
  SDropDownWnd* Open() {
    pugi::xml_document doc;
    doc.load_string((std::string("<popup>") + kListLayout + "</popup>").c_str());
    window = new SDropDownWnd(GetContainer()->GetContext(), this);
    window->Create({10, 40, 200, 92}, doc.first_child());
    auto* list = window->FindChildByName2<SListView>(L"lv_dropdown_1");
    list->SetAdapter(
        std::make_shared<NamesAdapter>(std::vector<std::wstring>{L"一", L"二", L"三"}));
    return window;
  }
  SDropDownWnd* window = nullptr;
  std::vector<int> exitCodes, selections;
};

TEST_F(Behaviour, DropDownEndsWithOneOnlyFromAListClick) {
  Use({{L"LAYOUT:MAIN", R"(<SOUI width="300" height="200"><root/></SOUI>)"}});
  Recorder host(app.Context(), L"LAYOUT:MAIN");
  ASSERT_TRUE(host.Create());
  auto* owner = static_cast<DropOwner*>(host.GetRoot()->InsertChild(std::make_unique<DropOwner>()));
  host.LayoutNow();

  SDropDownWnd* drop = owner->Open();
  ASSERT_TRUE(headless::ClickItem(*drop, L"lv_dropdown_1", 2));
  app.Context().LeaveDispatch();
  drop = owner->Open();
  headless::PressKey(*drop, Key::kEscape);
  drop = owner->Open();
  platform.Activate(platform.WindowOf(host));  // a click elsewhere takes the activation
  EXPECT_EQ(owner->exitCodes, (std::vector<int>{kDialogOk, kDialogCancel, kDialogCancel}));
  EXPECT_EQ(owner->selections, std::vector<int>{2});
  EXPECT_TRUE(host.commands.empty());  // the owner kept the list's command
}

// --- dialogs, timers and the keyboard ---
TEST_F(Behaviour, ModalDialogReturnsItsEndCode) {
  Use({{L"LAYOUT:DLG", R"(<SOUI width="200" height="100"><root>
         <button name="btn_ok" pos="10,10" size="60,30">确定</button></root></SOUI>)"}});
  for (int code : {int{kDialogOk}, int{kDialogCancel}, 7}) {
    Recorder dialog(app.Context(), L"LAYOUT:DLG");
    dialog.endOn = code;
    platform.OnNextModal([](SHostWnd& box) { headless::Click(box, L"btn_ok"); });
    EXPECT_EQ(dialog.DoModal(), code);
    EXPECT_FALSE(dialog.IsWindow());
  }
  Recorder dialog(app.Context(), L"LAYOUT:DLG");
  platform.OnNextModal([](SHostWnd& box) { headless::PressKey(box, Key::kEscape); });
  EXPECT_EQ(dialog.DoModal(), kDialogCancel);
}

TEST_F(Behaviour, TimersFireAtTheirPeriods) {
  Use({{L"LAYOUT:MAIN", R"(<SOUI width="200" height="100"><root/></SOUI>)"}});
  Recorder host(app.Context(), L"LAYOUT:MAIN");
  host.platform = &platform;
  ASSERT_TRUE(host.Create());
  host.SetTimer(1, 40);
  host.SetTimer(2, 500);
  platform.Advance(1000);
  EXPECT_EQ(std::count(host.timers.begin(), host.timers.end(), 1u), 25);
  EXPECT_EQ(std::count(host.timers.begin(), host.timers.end(), 2u), 2);
  host.KillTimer(1);
  host.timers.clear();
  host.timerTimes.clear();
  platform.Advance(1000);
  EXPECT_EQ(host.timers, (std::vector<unsigned>{2, 2}));
  EXPECT_EQ(host.timerTimes, (std::vector<std::uint64_t>{1500, 2000}));
}

TEST_F(Behaviour, TabMovesFocusInTreeOrderAndEnterClicks) {
  Use({{L"LAYOUT:MAIN", R"(<SOUI width="300" height="200"><root>
         <button name="first" pos="10,10" size="60,30">1</button>
         <button name="off" pos="80,10" size="60,30" enable="0">2</button>
         <button name="hidden" pos="150,10" size="60,30" show="0">3</button>
         <check name="box" pos="10,50" size="60,20">4</check>
         <button name="last" pos="80,50" size="60,30">5</button>
       </root></SOUI>)"}});
  Recorder host(app.Context(), L"LAYOUT:MAIN");
  ASSERT_TRUE(host.Create());
  std::vector<std::wstring> order;
  for (int i = 0; i < 4; ++i) {
    headless::PressKey(host, Key::kTab);
    order.push_back(headless::FocusName(host));
  }
  EXPECT_EQ(order, (std::vector<std::wstring>{L"first", L"box", L"last", L"first"}));
  headless::PressKey(host, Key::kTab, true);
  EXPECT_EQ(headless::FocusName(host), L"last");
  headless::PressKey(host, Key::kEnter);
  headless::PressKey(host, Key::kTab, true);
  headless::PressKey(host, Key::kSpace);
  EXPECT_EQ(host.commands, (std::vector<std::wstring>{L"last", L"box"}));
  EXPECT_TRUE(headless::Checked(host, L"box"));  // Space ticked it
}

}  // namespace
}  // namespace toolkit
