// What the detection controller asks of the program's windows: the main window's operations
// (IDetectView), the two device test popups and the log. The program implements them over the
// toolkit, the console driver by printing, the tests by recording.
//
// Threads: every method here is called on the UI thread only. The controller carries what its
// worker needs from the windows (popup state, message boxes, showing the popups) over to the UI
// thread through its CUiQueue, so an implementation needs no lock of its own.
//
// Controls are named as in the layouts; a control that is not found is skipped silently.
#pragma once

#include <string>

namespace kestrelrun {

// The taskbar button's progress state used by the finished-run flashing (the value of
// TBPF_PAUSED, passed through unchanged).
inline constexpr int kTaskbarPaused = 0x8;

class IDetectView {
 public:
  virtual ~IDetectView() = default;

  // Main tab `tab_main_op`: 0 start, 1 detecting, 2 results, 3 agreement, 4 no network.
  virtual void ShowMainPage(int page) = 0;
  // The page of one of the card tabs `tab_item_op_1` .. `tab_item_op_6`.
  virtual void SetCardPage(const std::wstring& card, int page) = 0;
  // `pro_main_detect`.
  virtual void SetProgressBar(int value) = 0;
  // `detect_pro_showinfo_1`.
  virtual void SetStatusLabel(const std::wstring& text) = 0;
  // `detect_pro_info_2` on the results page.
  virtual void SetScoreLabel(const std::wstring& text) = 0;
  // `detect_pro_info_1` on the results page: the number of problems.
  virtual void SetProblemCountLabel(const std::wstring& text) = 0;
  // The "skin" attribute of a picture control (`img_item_os`, `img_item_device`).
  virtual void SetIcon(const std::wstring& name, const std::wstring& skin) = 0;

  // The window text of control `control` among the children of page `page` of card tab `card`
  // (the same names, such as `suggest_iteminfo_1` or `text_item_suggest_3`, exist in several
  // cards and pages).
  virtual void SetCardText(const std::wstring& card, int page, const std::wstring& control,
                           const std::wstring& text) = 0;
  // An attribute ("show", "pos") of such a control.
  virtual void SetCardAttribute(const std::wstring& card, int page, const std::wstring& control,
                                const std::wstring& attribute, const std::wstring& value) = 0;

  // A modal message box with the caption "提示" and an OK button; returns when it is closed.
  virtual void ShowMessage(const std::wstring& text) = 0;
  // Shows the hidden popups (SW_SHOW).
  virtual void ShowAudioPopup() = 0;
  virtual void ShowVideoPopup() = 0;
  // The DNS progress popup, modal; returns when it closed itself.
  virtual void ShowDnsProgress() = 0;
  // Opens an address in the browser ("open", shown normally); failures are ignored.
  virtual void OpenUrl(const std::wstring& address) = 0;

  virtual bool IsMinimised() = 0;
  // The main window's taskbar button: SetProgressState(state), SetProgressValue(value, total).
  virtual void SetTaskbarProgress(int state, int value, int total) = 0;
};

// The audio test popup, created hidden at start-up. Verdicts: -1 pending, 0 closed without a
// verdict, 1 works, 2 has a problem; the popup's buttons set it and report it to NetProbe.
class IAudioTestPopup {
 public:
  virtual ~IAudioTestPopup() = default;

  // The numbers of microphones and speakers found at start-up.
  virtual int MicrophoneCount() = 0;
  virtual int SpeakerCount() = 0;
  virtual int Verdict() = 0;
  virtual void SetVerdict(int verdict) = 0;
  virtual void SetInitState(int state) = 0;
  // Sliders and device buttons disabled, no capture.
  virtual void EnterNoDeviceState() = 0;
  // Starts the loop-back test of the chosen microphone.
  virtual void StartMicrophoneTest() = 0;
};

// The camera test popup, created hidden at start-up; the same verdicts as the audio popup.
class ICameraTestPopup {
 public:
  virtual ~ICameraTestPopup() = default;

  // Lists the cameras: sets CameraIndex (-1 when there is none) and the verdict to -1.
  virtual void LoadCameras() = 0;
  virtual int CameraIndex() = 0;
  virtual int Verdict() = 0;
};

// The program's log, one line per call. The program converts the wide text to the OEM code page
// once, when it writes the line.
class IDetectLog {
 public:
  virtual ~IDetectLog() = default;
  virtual void Line(const std::wstring& text) = 0;
};

}  // namespace kestrelrun
