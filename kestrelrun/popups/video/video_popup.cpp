#include "video/video_popup.h"

#include <memory>

#include "controls/dropdown_list.h"
#include "toolkit/application.h"
#include "toolkit/controls.h"

namespace popups {
namespace {

constexpr const wchar_t kTab[] = L"tab_video_op";
constexpr const wchar_t kEdit[] = L"edit_input_2";
constexpr const wchar_t kVideo[] = L"vlcwnd";
constexpr const wchar_t kDropdown[] = L"os_select";
constexpr const wchar_t kTipTitle[] = L"提示";

}  // namespace

CPopWndVideo::CPopWndVideo(toolkit::UiContext& context, ICameraLibrary& camera,
                           IDeviceTestResults& results, const kestrel::ICodePage& codePage)
    : SHostWnd(context, L"LAYOUT:XML_POPWND_VIDEO"),
      camera_(camera),
      results_(results),
      codePage_(codePage) {}

CPopWndVideo::~CPopWndVideo() {
  ShutDown();
}

bool CPopWndVideo::OnInitDialog() {
  SetTimer(kVideoTaskTimer, kVideoTaskPeriodMs);
  return true;
}

void CPopWndVideo::OnTimerEvent(unsigned id) {
  if (id == kVideoTaskTimer)
    ui_.RunPending();
}

void CPopWndVideo::LoadCameras() {
  std::vector<DropdownItem> items;
  {
    std::lock_guard<std::mutex> lock(libraryMutex_);
    std::vector<CameraEntry> cameras;
    ProbeError error;
    if (!released_ && camera_.GetLocalCamera(&cameras, &error) != 0) {
      for (const CameraEntry& entry : cameras)
        items.push_back({codePage_.AnsiToWide(entry.name), L"", entry.number});
    }
  }
  {
    std::lock_guard<std::mutex> lock(itemsMutex_);
    cameraItems_ = items;
  }
  std::wstring first = items.empty() ? L"" : items.front().text;
  ui_.Post([this, first, any = !items.empty()] {
    if (auto* tab = FindChildByName2<toolkit::STabCtrl>(kTab))
      tab->SetCurSel(0);
    if (any) {
      if (toolkit::SWindow* edit = FindChildByName(kEdit))
        edit->SetWindowText(first);
    }
  });
  cameraIndex_ = items.empty() ? -1 : items.back().value;
  verdict_ = -1;
}

void CPopWndVideo::ShowVideoPopup() {
  ui_.Post([this] {
    CenterWindow();
    ShowWindow(true);
  });
}

std::vector<DropdownItem> CPopWndVideo::CameraItems() {
  std::lock_guard<std::mutex> lock(itemsMutex_);
  return cameraItems_;
}

void CPopWndVideo::ShowMessage(const std::wstring& text) {
  toolkit::SMessageBox(this, text, kTipTitle, toolkit::kMessageBoxOk);
}

void CPopWndVideo::OnOpenCamera() {
  int index = cameraIndex_;
  if (index < 0) {
    ShowMessage(kChooseCameraText);
    return;
  }
  if (auto* tab = FindChildByName2<toolkit::STabCtrl>(kTab))
    tab->SetCurSel(1);
  if (auto* video = FindChildByName2<toolkit::SRealWnd>(kVideo))
    videoWindow_ = video->GetRealHwnd();
  int opened;
  {
    std::lock_guard<std::mutex> lock(libraryMutex_);
    if (released_)
      return;
    camera_.SetCameraShowVideoWnd(videoWindow_, kVideoRect);
    ProbeError error;
    opened = camera_.OpenLocalCamera(index, &error);
  }
  if (opened == 0)
    ShowMessage(kOpenCameraFailedText);
}

void CPopWndVideo::OnVerdictButton(int verdict) {
  verdict_ = verdict;
  ShowWindow(false);
  {
    std::lock_guard<std::mutex> lock(libraryMutex_);
    if (!released_)
      camera_.CloseLocalCamera();
  }
  results_.SetCameraTestResult(verdict);
}

void CPopWndVideo::FillList(toolkit::EventArgs* evt) {
  auto* fill = dynamic_cast<EventFillSearchDropdownList_2*>(evt);
  auto* list =
      fill && fill->popupWindow
          ? fill->popupWindow->FindChildByName2<toolkit::SListView>(DropdownCopy<2>::kListView)
          : nullptr;
  if (!list)
    return;
  auto adapter = std::make_shared<CDriverFind_Os_DropBoxListViewAdapter>(this);
  for (const DropdownItem& item : CameraItems())
    adapter->AddItem(item);
  list->SetAdapter(adapter);
  list->SetSel(0);
  adapter->notifyDataSetChanged();
  if (adapter->getCount() > 0)
    fill->hasItems = 1;
}

void CPopWndVideo::OnCameraSelected(int index) {
  if (index < 0)
    return;
  std::vector<DropdownItem> items = CameraItems();
  DropdownItem item = index < static_cast<int>(items.size()) ? items[index] : DropdownItem{};
  if (toolkit::SWindow* edit = FindChildByName(kEdit))
    edit->SetWindowText(item.text);
  cameraIndex_ = item.value;
}

bool CPopWndVideo::OnKeyEvent(const toolkit::KeyEvent& key) {
  if (toolkit::SHostWnd::OnKeyEvent(key))
    return true;
  if (key.key != toolkit::Key::kEscape)
    return false;
  OnVerdictButton(0);
  return true;
}

void CPopWndVideo::_HandleEvent(toolkit::EventArgs* evt) {
  const std::wstring& from = evt->nameFrom;
  switch (evt->GetID()) {
    case toolkit::EVT_CMD:
      if (from == L"btn_popwnd_video_close")
        OnVerdictButton(0);
      else if (from == L"btn_popwnd_video_error")
        OnVerdictButton(2);
      else if (from == L"btn_popwnd_video_work")
        OnVerdictButton(1);
      else if (from == L"btn_popwnd_video_open")
        OnOpenCamera();
      else if (from == L"btn_popwnd_video_dropdown") {
        if (auto* dropdown = FindChildByName2<SSearchDropdownList_2>(kDropdown))
          dropdown->DropDown();
      } else {
        return;
      }
      break;
    case DropdownCopy<2>::kFillEvent:
      if (evt->idFrom != kCameraDropdownId)
        return;
      FillList(evt);
      break;
    case DropdownCopy<2>::kSelectedEvent:
      if (evt->idFrom != kCameraDropdownId)
        return;
      OnCameraSelected(static_cast<EventDropdownListSelected_2*>(evt)->nIndex);
      break;
    default:
      return;
  }
  ++evt->handled;
}

void CPopWndVideo::OnDestroy() {
  KillTimer(kVideoTaskTimer);
  ShutDown();
}

void CPopWndVideo::ShutDown() {
  ui_.Close();
  {
    std::lock_guard<std::mutex> lock(libraryMutex_);
    if (!released_) {
      released_ = true;
      camera_.CloseLocalCamera();
      camera_.ReleaseCameraDllRes();
    }
  }
  int pending = -1;
  verdict_.compare_exchange_strong(pending, 0);
}

}  // namespace popups
