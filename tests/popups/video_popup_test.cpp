// The camera popup over a fake CamProbe, and the real-window handler it gets its picture
// window from.
#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

#include "controls/dropdown_list.h"
#include "popup_fakes.h"
#include "video/video_popup.h"

namespace popups {
namespace {

namespace hl = toolkit::headless;

class VideoPopup : public testing::PopupTest {
 protected:
  void Open() {
    popup = std::make_unique<CPopWndVideo>(ui, camera, results, *codePage);
    ASSERT_TRUE(popup->Create());
    ASSERT_TRUE(ui.GetDiagnostics().empty()) << toolkit::testing::DiagnosticsText(ui);
  }
  // As the detection step does it, on its worker thread.
  void LoadOnWorker() {
    std::thread worker([&] {
      popup->LoadCameras();
      popup->ShowVideoPopup();
    });
    worker.join();
    platform.Advance(20);
  }
  testing::FakeCamera camera;
  testing::FakeResults results;
  std::unique_ptr<CPopWndVideo> popup;
};

TEST_F(VideoPopup, ListsCamerasAndOpensTheOneShown) {
  camera.cameras = {{0, "USB \xc9\xe3\xcf\xf1\xcd\xb7"}};  // GBK "摄像头"
  Open();
  LoadOnWorker();
  EXPECT_TRUE(popup->IsWindowVisible());
  EXPECT_EQ(hl::Text(*popup, L"edit_input_2"), L"USB 摄像头");
  EXPECT_EQ(popup->CameraIndex(), 0);
  EXPECT_EQ(popup->Verdict(), -1);
  EXPECT_EQ(hl::Page(*popup, L"tab_video_op"), 0);
  ASSERT_TRUE(hl::Click(*popup, L"btn_popwnd_video_open"));
  EXPECT_EQ(hl::Page(*popup, L"tab_video_op"), 1);
  EXPECT_EQ(camera.calls, (std::vector<std::string>{"Get", "SetWnd 513x195", "Open 0"}));
  ASSERT_TRUE(hl::Click(*popup, L"btn_popwnd_video_work"));
  EXPECT_FALSE(popup->IsWindowVisible());
  EXPECT_EQ(camera.calls.back(), "Close");
  EXPECT_EQ(results.camera, std::vector<int>{1});
}

TEST_F(VideoPopup, ChoosingSetsTextAndNumberFromOneItem) {
  camera.cameras = {{3, "Front"}, {7, "Back"}, {9, "Side"}};
  Open();
  LoadOnWorker();
  EXPECT_EQ(hl::Text(*popup, L"edit_input_2"), L"Front");
  EXPECT_EQ(popup->CameraIndex(), 9);  // the last listed
  ASSERT_TRUE(hl::Click(*popup, L"btn_popwnd_video_dropdown"));
  auto* list = popup->FindChildByName2<SSearchDropdownList_2>(L"os_select");
  ASSERT_NE(list->GetDropWindow(), nullptr);
  EXPECT_EQ(list->GetDropWindow()->GetNative()->Geometry().h, 92);
  ASSERT_TRUE(hl::ClickItem(*list->GetDropWindow(), L"lv_dropdown_2", 1));
  ui.LeaveDispatch();
  EXPECT_EQ(hl::Text(*popup, L"edit_input_2"), L"Back");
  EXPECT_EQ(popup->CameraIndex(), 7);
}

TEST_F(VideoPopup, NoCameraAndFailedOpenAreTold) {
  camera.listResult = 0;
  camera.cameras = {{1, "ignored"}};
  Open();
  LoadOnWorker();
  EXPECT_EQ(popup->CameraIndex(), -1);
  std::wstring text;
  ExpectMessage(&text);
  ASSERT_TRUE(hl::Click(*popup, L"btn_popwnd_video_open"));
  EXPECT_EQ(text, kChooseCameraText);

  camera.listResult = 1;
  camera.openResult = 0;
  LoadOnWorker();
  ExpectMessage(&text);
  ASSERT_TRUE(hl::Click(*popup, L"btn_popwnd_video_open"));
  EXPECT_EQ(text, kOpenCameraFailedText);
  EXPECT_EQ(hl::Page(*popup, L"tab_video_op"), 1);  // stays on the picture page
}

TEST_F(VideoPopup, VerdictWithoutOpeningStillClosesAndReports) {
  Open();
  LoadOnWorker();
  static_cast<toolkit::INativeWindowSink&>(*popup).OnCloseRequest();
  EXPECT_TRUE(popup->IsWindowVisible());  // the close request is ignored
  ASSERT_TRUE(hl::Click(*popup, L"btn_popwnd_video_close"));
  EXPECT_EQ(camera.calls, (std::vector<std::string>{"Get", "Close"}));
  EXPECT_EQ(results.camera, std::vector<int>{0});
}

// Esc takes the close button's path: closed without a verdict, the camera closed.
TEST_F(VideoPopup, EscIsTheCloseButton) {
  Open();
  LoadOnWorker();
  hl::PressKey(*popup, toolkit::Key::kEscape);
  EXPECT_FALSE(popup->IsWindowVisible());
  EXPECT_EQ(results.camera, std::vector<int>{0});
  EXPECT_EQ(camera.calls.back(), "Close");
}

TEST_F(VideoPopup, DestructionClosesThenReleasesOnce) {
  camera.cameras = {{0, "Cam"}};
  Open();
  LoadOnWorker();
  ASSERT_TRUE(hl::Click(*popup, L"btn_popwnd_video_open"));
  popup->DestroyWindow();
  popup.reset();
  std::vector<std::string> tail(camera.calls.end() - 2, camera.calls.end());
  EXPECT_EQ(tail, (std::vector<std::string>{"Close", "Release"}));
  EXPECT_EQ(std::count(camera.calls.begin(), camera.calls.end(), "Release"), 1);
}

TEST_F(VideoPopup, RealWindowOnlyForItsClass) {
  std::string xml = R"(<SOUI width="300" height="200"><root>
    <realwnd name="a" pos="0,0" size="100,50" wndclass="CRealWndDlg"/>
    <realwnd name="b" pos="0,60" size="100,50" wndclass="Other"/></root></SOUI>)";
  testing::LayoutHost host(ui, xml);
  ASSERT_TRUE(host.Create());
  size_t windows = platform.Windows().size();
  EXPECT_NE(host.FindChildByName2<toolkit::SRealWnd>(L"a")->GetData(), nullptr);
  EXPECT_EQ(host.FindChildByName2<toolkit::SRealWnd>(L"b")->GetData(), nullptr);
  auto* child =
      static_cast<CRealWndDlg*>(host.FindChildByName2<toolkit::SRealWnd>(L"a")->GetData());
  EXPECT_EQ(platform.WindowOf(*child)->Params().kind, toolkit::NativeWindowKind::kChild);
  host.DestroyWindow();
  EXPECT_EQ(platform.Windows().size(), windows - 2);
}

}  // namespace
}  // namespace popups
