// CPopWndVideo: the camera test window. The detection's camera step lists the cameras and shows
// it; the user picks a camera, opens it to see the live picture in the `vlcwnd` child window
// and answers with a verdict button, which closes the camera and goes to NetProbe.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "app/detect_view.h"
#include "controls/dropdown_adapter.h"
#include "device_results.h"
#include "kestrel/codepage.h"
#include "toolkit/host.h"
#include "ui_tasks.h"
#include "video/camera_library.h"

namespace popups {

inline constexpr int kCameraDropdownId = 70362;
// Runs the work handed over by the detection worker.
inline constexpr unsigned kVideoTaskTimer = 5;
inline constexpr unsigned kVideoTaskPeriodMs = 10;
// The picture's rectangle inside `vlcwnd`.
inline constexpr VideoRect kVideoRect{0, 0, 513, 195};

inline constexpr const wchar_t kNoCameraText[] = L"未检测到摄像头！";
inline constexpr const wchar_t kChooseCameraText[] = L"请选择摄像头！";
inline constexpr const wchar_t kOpenCameraFailedText[] = L"打开摄像头失败！";

class CPopWndVideo : public toolkit::SHostWnd, public kestrelrun::ICameraTestPopup {
 public:
  CPopWndVideo(toolkit::UiContext& context, ICameraLibrary& camera, IDeviceTestResults& results,
               const kestrel::ICodePage& codePage);
  ~CPopWndVideo() override;

  // --- what the detection's camera step calls (its worker thread or the UI thread) ---
  void LoadCameras() override;
  void ShowVideoPopup();
  int CameraIndex() override { return cameraIndex_; }
  int Verdict() override { return verdict_; }
  void SetVerdict(int verdict) { verdict_ = verdict; }

  // --- read back by tests ---
  std::vector<DropdownItem> CameraItems();
  std::uintptr_t VideoWindow() const { return videoWindow_; }

 protected:
  bool OnInitDialog() override;
  void OnTimerEvent(unsigned id) override;
  bool OnClose() override { return false; }  // only the verdict buttons hide it
  void OnDestroy() override;
  void _HandleEvent(toolkit::EventArgs* evt) override;
  // Esc answers as the close button does.
  bool OnKeyEvent(const toolkit::KeyEvent& key) override;

 private:
  void OnVerdictButton(int verdict);
  void OnOpenCamera();
  void FillList(toolkit::EventArgs* evt);
  void OnCameraSelected(int index);
  void ShowMessage(const std::wstring& text);
  // Closes the camera and releases CamProbe once.
  void ShutDown();

  ICameraLibrary& camera_;
  IDeviceTestResults& results_;
  const kestrel::ICodePage& codePage_;

  std::atomic<int> cameraIndex_{-1};
  std::atomic<int> verdict_{-1};
  std::uintptr_t videoWindow_ = 0;

  std::mutex itemsMutex_;  // the worker lists, the UI thread fills the dropdown
  std::vector<DropdownItem> cameraItems_;
  std::mutex libraryMutex_;
  bool released_ = false;
  UiTaskQueue ui_;
};

}  // namespace popups
