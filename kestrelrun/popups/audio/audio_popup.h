// CPopWndAudio: the microphone and speaker test window. Created hidden at start-up, it lists the
// endpoints once; the detection's microphone step shows it and starts MicProbe's loop-back test,
// the waveform shows the microphone live, the dropdowns switch the default devices, the sliders
// set the volumes, and one of three buttons gives the verdict that goes to NetProbe.
#pragma once

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

#include "app/detect_view.h"
#include "audio/audio_library.h"
#include "controls/audio_animator.h"
#include "controls/dropdown_adapter.h"
#include "device_results.h"
#include "kestrel/codepage.h"
#include "toolkit/host.h"
#include "ui_tasks.h"

namespace popups {

// Control ids of the two dropdowns in the layout.
inline constexpr int kMicDropdownId = 70361;
inline constexpr int kSpeakerDropdownId = 70364;
// Runs the pending message and the work handed over by the detection worker.
inline constexpr unsigned kAudioMessageTimer = 4;
inline constexpr unsigned kAudioMessagePeriodMs = 10;

// Verdicts as NetProbe stores them.
inline constexpr int kVerdictPending = -1;
inline constexpr int kVerdictClosed = 0;
inline constexpr int kVerdictWorks = 1;
inline constexpr int kVerdictProblem = 2;

// The user-visible texts of the popup.
inline constexpr const wchar_t kTipTitle[] = L"提示";
inline constexpr const wchar_t kStartFailedText[] = L"开始测试麦克风失败！";
inline constexpr const wchar_t kStartingText[] = L"麦克风初始化过程中禁止操作！";

class CPopWndAudio : public toolkit::SHostWnd,
                     public kestrelrun::IAudioTestPopup,
                     public IWaveSource {
 public:
  CPopWndAudio(toolkit::UiContext& context, IAudioLibrary& audio, IDeviceTestResults& results,
               const kestrel::ICodePage& codePage);
  ~CPopWndAudio() override;

  // --- what the main window calls, once, on the UI thread ---
  void LoadAudioDevices();
  void StartMessageTimer();

  // --- what the detection's microphone step calls (its worker thread or the UI thread) ---
  // Shows the popup (on the UI thread).
  void ShowPopup();
  // Starts the loop-back test and the waveform; the buttons are refused until it has started.
  void StartMicrophoneTest() override;
  // No microphone or no speaker: the sliders and drop buttons are disabled, verdicts allowed.
  void EnterNoDeviceState() override;
  int Verdict() override { return verdict_; }
  void SetVerdict(int verdict) override { verdict_ = verdict; }
  int MicrophoneCount() override { return micCount_; }
  int SpeakerCount() override { return speakerCount_; }
  int InitState() const { return initState_; }
  void SetInitState(int state) override { initState_ = state; }

  // --- MicProbe's capture thread ---
  static int DrawWaveCallback(short* samples, int count, void* context);
  int OnWaveBlock(const short* samples, int count);
  // IWaveSource (the waveform's paint, UI thread)
  bool CopyLatestWave(short* out, int count) override;

  // --- read back by tests ---
  const std::vector<AudioDevice>& MicDevices() const { return micDevices_; }
  const std::vector<AudioDevice>& SpeakerDevices() const { return speakerDevices_; }
  unsigned GetMicVolumeStep() const { return micVolumeStep_; }
  int GetMicSliderValue() const { return micSliderValue_; }
  int GetSpeakerSliderValue() const { return speakerSliderValue_; }
  int GetWaveCapacity();
  size_t GetWaveAllocated();

 protected:
  bool OnInitDialog() override;
  void OnTimerEvent(unsigned id) override;
  bool OnClose() override { return false; }  // only the verdict buttons end the test
  void OnDestroy() override;
  void _HandleEvent(toolkit::EventArgs* evt) override;
  // Esc answers as the close button does.
  bool OnKeyEvent(const toolkit::KeyEvent& key) override;

 private:
  void OnVerdictButton(int verdict);
  void OnMicSlider(int value);
  void OnSpeakerSlider(int value);
  void OnDropButton(const wchar_t* dropdownName);
  void FillList(toolkit::EventArgs* evt, const wchar_t* listName,
                const std::vector<AudioDevice>& devices);
  void OnMicSelected(int index);
  void OnSpeakerSelected(int index);
  // The microphone slider's position for the mixer's current range and value.
  void ReadMicVolume();
  void ShowMessage(const std::wstring& text);
  // Stops the test and releases MicProbe once, whichever of destruction and WM_DESTROY is first.
  void ShutDown();
  SMicAudioAnimator* Animator() const;

  IAudioLibrary& audio_;
  IDeviceTestResults& results_;
  const kestrel::ICodePage& codePage_;

  std::vector<short> micWaveBuffer_;  // allocated on the first block
  int waveCount_ = 0;                 // samples of the latest block
  std::mutex waveMutex_;
  int waveCapacity_ = 0;
  std::atomic<int> verdict_{kVerdictPending};
  unsigned micVolumeStep_ = 0;
  int micSliderValue_ = 0;
  int speakerSliderValue_ = 0;
  std::atomic<int> micCount_{0};
  std::atomic<int> speakerCount_{0};
  std::atomic<int> initState_{-1};
  int pendingMessageFlag_ = 0;
  std::wstring pendingMessage_;

  std::vector<AudioDevice> micDevices_;
  std::vector<AudioDevice> speakerDevices_;
  // The library's start, stop and release do not overlap (the start runs on the worker).
  std::mutex libraryMutex_;
  bool released_ = false;
  bool closed_ = false;  // the capture thread's blocks are no longer taken
  UiTaskQueue ui_;
};

}  // namespace popups
