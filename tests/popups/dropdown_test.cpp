// The dropdowns: where the popup goes, the adapter's wrap, the fill and selected events and the
// popup's life next to its control's.
#include <gtest/gtest.h>

#include "controls/dropdown_adapter.h"
#include "controls/dropdown_list.h"
#include "controls/dropdown_placement.h"
#include "popup_fakes.h"

namespace popups {
namespace {

using toolkit::RectF;

TEST(DropdownPlacement, BelowAboveAndCapped) {
  const RectF monitor{0, 0, 1920, 1080};
  struct Case {
    const char* what;
    RectF control;
    float items;
    int maxHeight, align;
    RectF expected;
  } cases[] = {
      {"three items fit", {100, 300, 196, 26}, 90, 120, 0, {99, 326, 198, 92}},
      {"four are capped", {100, 300, 196, 26}, 120, 120, 0, {99, 326, 198, 120}},
      {"right aligned", {100, 300, 196, 26}, 30, 120, 1, {99, 326, 198, 32}},
      {"near the bottom opens upward", {100, 1000, 196, 26}, 90, 120, 0, {99, 908, 198, 92}},
      {"exactly fits below", {100, 962, 196, 26}, 90, 120, 0, {99, 988, 198, 92}},
      {"one pixel short opens upward", {100, 963, 196, 26}, 90, 120, 0, {99, 871, 198, 92}},
      {"a negative limit gives no height", {100, 300, 196, 26}, 90, -5, 0, {99, 326, 198, 0}},
  };
  for (const auto& c : cases) {
    RectF r = PlaceDropDown(c.control, monitor, c.items, c.maxHeight, c.align);
    EXPECT_EQ(r.x, c.expected.x) << c.what;
    EXPECT_EQ(r.y, c.expected.y) << c.what;
    EXPECT_EQ(r.w, c.expected.w) << c.what;
    EXPECT_EQ(r.h, c.expected.h) << c.what;
  }
  // A monitor that does not start at 0 (a second screen above the first).
  RectF upper = PlaceDropDown({10, -40, 100, 20}, {0, -1080, 1920, 1080}, 60, 120, 0);
  EXPECT_EQ(upper.y, -102);
}

using DropdownAdapter = testing::PopupTest;

TEST_F(DropdownAdapter, WrapsAndBoundsItsItems) {
  CDriverFind_Os_DropBoxListViewAdapter adapter(nullptr);
  EXPECT_EQ(adapter.GetItem(0).text, L"");
  adapter.AddItem({L"甲", L"{id-1}", 0});
  adapter.AddItem({L"乙", L"", 7});
  EXPECT_EQ(adapter.getCount(), 2);
  EXPECT_EQ(adapter.GetItem(1).value, 7);
  EXPECT_EQ(adapter.GetItem(2).text, L"");
  EXPECT_EQ(adapter.GetItem(-1).key, L"");
  EXPECT_EQ(adapter.GetColumnName(0), L"col_nick");

  // On a live list: the list builds panels 0 and 1; a panel asked for a position past the end
  // shows the item the position wraps to.
  testing::LayoutHost host(ui, R"(<SOUI width="200" height="100"><root>
      <listview name="lv" pos="0,0,-0,-0"><template itemHeight="30">
        <text name="device_name_item" pos="0,0,-0,-0"/></template></listview></root></SOUI>)");
  ASSERT_TRUE(host.Create());
  auto* list = host.FindChildByName2<toolkit::SListView>(L"lv");
  auto shared = std::make_shared<CDriverFind_Os_DropBoxListViewAdapter>(&host);
  shared->AddItem({L"甲", L"", 0});
  shared->AddItem({L"乙", L"", 0});
  list->SetAdapter(shared);
  ASSERT_EQ(list->GetItemCount(), 2);
  pugi::xml_document templ;
  templ.load_string(R"(<template><text name="device_name_item"/></template>)");
  toolkit::SItemPanel* panel = list->GetItemPanel(0);
  for (auto [position, text] : {std::pair{1, L"乙"}, {2, L"甲"}, {5, L"乙"}, {0, L"甲"}}) {
    shared->getView(position, panel, templ.first_child());
    EXPECT_EQ(panel->FindChildByName(L"device_name_item")->GetWindowText(), text) << position;
  }
}

// A window with a microphone dropdown, recording the events that reach it.
class DropHost : public testing::LayoutHost {
 public:
  using LayoutHost::LayoutHost;
  std::vector<std::wstring> items;
  std::vector<std::pair<int, int>> selected;  // control id, index
  int fills = 0;

 protected:
  void _HandleEvent(toolkit::EventArgs* evt) override {
    if (evt->GetID() == DropdownCopy<1>::kFillEvent) {
      ++fills;
      auto* fill = static_cast<EventFillSearchDropdownList_1*>(evt);
      auto* list = fill->popupWindow->FindChildByName2<toolkit::SListView>(L"lv_dropdown_1");
      auto adapter = std::make_shared<CDriverFind_Os_DropBoxListViewAdapter>(this);
      for (const auto& item : items)
        adapter->AddItem({item, L"", 0});
      list->SetAdapter(adapter);
      list->SetSel(0);
      adapter->notifyDataSetChanged();
      fill->hasItems = items.empty() ? 0 : 1;
      ++evt->handled;
    } else if (evt->GetID() == DropdownCopy<1>::kSelectedEvent) {
      selected.emplace_back(evt->idFrom, static_cast<EventDropdownListSelected_1*>(evt)->nIndex);
    }
  }
};

class Dropdown : public testing::PopupTest {
 protected:
  void Open(float y = 288) {
    std::string xml = R"(<SOUI width="570" height="410"><root>
      <searchDropdownList_1 name="mic" id="70361" pos="100,)" +
                      std::to_string(static_cast<int>(y)) + R"(" size="250,26" dropAlign="0">
        <edit name="edit" pos="0,0,-0,-0" readOnly="1"/>
        <popupStyle_1><listview name="lv_dropdown_1" pos="1,1,-1,-1">
          <template itemHeight="30"><text name="device_name_item" pos="10,0,-8,-0"/></template>
        </listview></popupStyle_1>
      </searchDropdownList_1></root></SOUI>)";
    host = std::make_unique<DropHost>(ui, xml);
    ASSERT_TRUE(host->Create());
    host->GetNative()->SetGeometry({0, 0, 570, 410}, 0, 0);
    host->ShowWindow(true);
    control = host->FindChildByName2<SSearchDropdownList_1>(L"mic");
    ASSERT_NE(control, nullptr);
    ASSERT_TRUE(ui.GetDiagnostics().empty()) << toolkit::testing::DiagnosticsText(ui);
  }
  RectF PopupRect() { return control->GetDropWindow()->GetNative()->Geometry(); }

  std::unique_ptr<DropHost> host;
  SSearchDropdownList_1* control = nullptr;
};

TEST_F(Dropdown, KeepsItsPopupLayoutOutOfTheTree) {
  Open();
  EXPECT_EQ(control->GetChildrenCount(), 1u);  // the edit only
  EXPECT_EQ(host->FindChildByName(L"lv_dropdown_1"), nullptr);
  EXPECT_TRUE(control->IsClass(L"searchDropdownList_1"));
  EXPECT_FALSE(control->IsClass(L"searchDropdownList_2"));
  EXPECT_EQ(control->GetDropAlign(), 0);
  EXPECT_TRUE(control->SetAttribute(L"MAXDROPHEIGHT", L"0x40"));
  EXPECT_EQ(control->GetMaxDropHeight(), 64);
}

TEST_F(Dropdown, OpensBelowWithTheItemsHeightAndSelectsByClick) {
  Open();
  host->items = {L"一", L"二", L"三", L"四"};
  control->DropDown();
  ASSERT_NE(control->GetDropWindow(), nullptr);
  RectF r = PopupRect();
  EXPECT_EQ(r.x, 99);
  EXPECT_EQ(r.y, 314);
  EXPECT_EQ(r.w, 252);
  EXPECT_EQ(r.h, 120);  // four items want 122
  ASSERT_TRUE(toolkit::headless::ClickItem(*control->GetDropWindow(), L"lv_dropdown_1", 2));
  ui.LeaveDispatch();
  EXPECT_EQ(control->GetDropWindow(), nullptr);
  EXPECT_EQ(host->selected, (std::vector<std::pair<int, int>>{{70361, 2}}));
}

TEST_F(Dropdown, OpensUpwardNearTheMonitorsBottom) {
  Open(350);
  monitors.area = {0, 0, 1920, 400};
  host->items = {L"一", L"二"};
  control->DropDown();
  RectF r = PopupRect();
  EXPECT_EQ(r.h, 62);
  EXPECT_EQ(r.y, 350 - 62);
}

TEST_F(Dropdown, EmptyFillOrOtherEndingsSelectNothing) {
  Open();
  control->DropDown();  // no items: closed at once with 2
  EXPECT_EQ(control->GetDropWindow(), nullptr);
  host->items = {L"一"};
  control->DropDown();
  ASSERT_NE(control->GetDropWindow(), nullptr);
  toolkit::headless::Click(*host, L"edit");  // activation elsewhere ends it
  control->DropDown();
  toolkit::headless::PressKey(*control->GetDropWindow(), toolkit::Key::kEscape);
  ui.LeaveDispatch();
  EXPECT_EQ(control->GetDropWindow(), nullptr);
  EXPECT_EQ(host->fills, 3);
  EXPECT_TRUE(host->selected.empty());
}

// Readers see the popup's items as list items of a list: named by their labels, the chosen one
// selected and, since the list has the keyboard, focused; the arrows move both and say so.
TEST_F(Dropdown, ItsItemsAreListItemsThatTheArrowsChoose) {
  using toolkit::AccEvent;
  using toolkit::Key;
  Open();
  host->items = {L"一", L"二", L"三"};
  control->DropDown();
  toolkit::SDropDownWnd* drop = control->GetDropWindow();
  ASSERT_NE(drop, nullptr);
  auto* list = drop->FindChildByName2<toolkit::SListView>(L"lv_dropdown_1");
  auto line = [](const wchar_t* name, bool chosen) {
    return std::wstring(L"    list item \"") + name + L"\"" +
           (chosen ? L" focused focusable selected" : L" focusable") + L" Select";
  };
  struct Step {
    const char* what;
    std::vector<Key> keys;
    int chosen;
    bool told;  // readers hear of the chosen item (selection and focus)
  };
  const Step steps[] = {
      {"as it opens", {}, 0, false},
      {"down", {Key::kDown}, 1, true},
      {"down to the end", {Key::kDown}, 2, true},
      {"past the end", {Key::kDown}, 2, false},
      {"home", {Key::kHome}, 0, true},
      {"up at the top", {Key::kUp}, 0, false},
      {"end", {Key::kEnd}, 2, true},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.what);
    platform.WindowOf(*drop)->ClearAccEvents();
    for (Key key : s.keys)
      toolkit::headless::PressKey(*drop, key);
    std::vector<std::wstring> want = {L"popup menu \"\"", L"  list \"\" focused focusable",
                                      line(L"一", s.chosen == 0), line(L"二", s.chosen == 1),
                                      line(L"三", s.chosen == 2)};
    EXPECT_EQ(toolkit::headless::AccLines(*drop), want);
    toolkit::AccTree tree = drop->GetAccessibleTree();
    EXPECT_EQ(tree.Nodes()[static_cast<size_t>(tree.Focus())].control,
              list->GetItemPanel(s.chosen));
    long id = list->GetItemPanel(s.chosen)->GetAccId();
    std::vector<AccEvent> heard;
    for (const auto& e : platform.WindowOf(*drop)->AccEvents()) {
      if (e.id == id)
        heard.push_back(e.event);
    }
    const std::vector<AccEvent> told{AccEvent::kSelection, AccEvent::kFocus};
    EXPECT_EQ(heard, s.told ? told : std::vector<AccEvent>{});
  }
  // Moving through the items chooses nothing yet; Enter takes the focused one and closes.
  EXPECT_TRUE(host->selected.empty());
  toolkit::headless::PressKey(*drop, Key::kEnter);
  ui.LeaveDispatch();
  EXPECT_EQ(control->GetDropWindow(), nullptr);
  EXPECT_EQ(host->selected, (std::vector<std::pair<int, int>>{{70361, 2}}));
}

TEST_F(Dropdown, PopupNeverOutlivesItsControl) {
  Open();
  host->items = {L"一", L"二"};
  control->DropDown();
  size_t windows = platform.Windows().size();
  host->GetRoot()->DestroyAllChildren();  // the control goes while its popup is open
  ui.LeaveDispatch();
  EXPECT_EQ(platform.Windows().size(), windows - 1);
  EXPECT_TRUE(host->selected.empty());

  Open();
  control->DropDown();
  host.reset();  // the whole window goes
  ui.LeaveDispatch();
  EXPECT_TRUE(platform.Windows().empty());
}

}  // namespace
}  // namespace popups
