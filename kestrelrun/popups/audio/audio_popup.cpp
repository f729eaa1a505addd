#include "audio/audio_popup.h"

#include <algorithm>
#include <memory>

#include "audio/device_list.h"
#include "controls/dropdown_list.h"
#include "toolkit/application.h"
#include "toolkit/controls.h"

namespace popups {
namespace {

using toolkit::EventArgs;
using toolkit::SWindow;

constexpr const wchar_t kAnimator[] = L"AudioAnimator";
constexpr const wchar_t kMicSlider[] = L"slider_audio";
constexpr const wchar_t kSpeakerSlider[] = L"slider_speaker";
constexpr const wchar_t kMicEdit[] = L"popwnd_audio_edit_input_1";
constexpr const wchar_t kSpeakerEdit[] = L"popwnd_audio_edit_input_2";
constexpr const wchar_t kMicDropButton[] = L"btn_popwnd_audio_dropdown_1";
constexpr const wchar_t kSpeakerDropButton[] = L"btn_popwnd_audio_dropdown_2";
constexpr const wchar_t kMicDropdown[] = L"audio_mic_select";
constexpr const wchar_t kSpeakerDropdown[] = L"audio_speaker_select";

void SetText(toolkit::SHostWnd& host, const wchar_t* name, const std::wstring& text) {
  if (SWindow* control = host.FindChildByName(name))
    control->SetWindowText(text);
}

// Sets a slider's position; with `enable` false it also shows 0 and cannot be moved.
void SetSlider(toolkit::SHostWnd& host, const wchar_t* name, int value, bool enable) {
  auto* slider = host.FindChildByName2<toolkit::SSliderBar>(name);
  if (!slider)
    return;
  slider->SetValue(enable ? value : 0);
  if (!enable)
    slider->EnableWindow(false);
}

}  // namespace

CPopWndAudio::CPopWndAudio(toolkit::UiContext& context, IAudioLibrary& audio,
                           IDeviceTestResults& results, const kestrel::ICodePage& codePage)
    : SHostWnd(context, L"LAYOUT:XML_POPWND_AUDIO"),
      audio_(audio),
      results_(results),
      codePage_(codePage) {}

CPopWndAudio::~CPopWndAudio() {
  ShutDown();
}

bool CPopWndAudio::OnInitDialog() {
  return true;
}

void CPopWndAudio::LoadAudioDevices() {
  {
    std::lock_guard<std::mutex> lock(waveMutex_);
    micWaveBuffer_.clear();
    waveCount_ = 0;
    waveCapacity_ = 0;
  }
  verdict_ = kVerdictPending;
  audio_.SetMicrophoneTestDrawWaveCallBack(&CPopWndAudio::DrawWaveCallback, this);

  micDevices_.clear();
  AudioDeviceMap* mics = nullptr;
  if (audio_.GetLocalMicrophone(&mics) == 1 && mics && !mics->empty()) {
    micDevices_ = DevicesDefaultLast(*mics);
    ReadMicVolume();
  }
  speakerDevices_.clear();
  AudioDeviceMap* speakers = nullptr;
  if (audio_.GetLocalSystemSpeaker(&speakers) == 1 && speakers && !speakers->empty()) {
    speakerDevices_ = DevicesDefaultLast(*speakers);
    int volume = 0;
    audio_.GetSpeakerVolume(&volume);
    speakerSliderValue_ = volume;
  }
  micCount_ = static_cast<int>(micDevices_.size());
  if (micCount_ > 0)
    SetText(*this, kMicEdit, micDevices_.back().name);
  speakerCount_ = static_cast<int>(speakerDevices_.size());
  if (speakerCount_ > 0)
    SetText(*this, kSpeakerEdit, speakerDevices_.back().name);
}

void CPopWndAudio::ReadMicVolume() {
  int minimum = 0, maximum = 0, volume = 0;
  audio_.GetMicrophoneVolumeRange(&minimum, &maximum);
  micVolumeStep_ = MicVolumeStep(minimum, maximum);
  audio_.GetMicrophoneVolume(&volume);
  micSliderValue_ = MicSliderPosition(volume, micVolumeStep_);
}

void CPopWndAudio::StartMessageTimer() {
  pendingMessageFlag_ = 0;
  pendingMessage_.clear();
  SetTimer(kAudioMessageTimer, kAudioMessagePeriodMs);
}

void CPopWndAudio::ShowPopup() {
  ui_.Post([this] {
    CenterWindow();
    ShowWindow(true);
  });
}

void CPopWndAudio::StartMicrophoneTest() {
  initState_ = -1;
  ui_.Post([this] {
    SetSlider(*this, kMicSlider, micSliderValue_, micCount_ > 0);
    SetSlider(*this, kSpeakerSlider, speakerSliderValue_, speakerCount_ > 0);
  });
  int started = 0;
  {
    std::lock_guard<std::mutex> lock(libraryMutex_);
    if (released_)
      return;  // the window went while the step ran
    ProbeError error;
    started = audio_.StartTestMicrophone(&error);
  }
  initState_ = started == 1 ? 1 : 0;
  ui_.Post([this, started] {
    if (SMicAudioAnimator* animator = Animator())
      animator->Start(this);
    if (started != 1)
      ShowMessage(kStartFailedText);
  });
}

void CPopWndAudio::EnterNoDeviceState() {
  initState_ = 1;
  ui_.Post([this] {
    for (const wchar_t* name : {kMicSlider, kSpeakerSlider, kMicDropButton, kSpeakerDropButton}) {
      if (SWindow* control = FindChildByName(name))
        control->EnableWindow(false);
    }
  });
}

int CPopWndAudio::DrawWaveCallback(short* samples, int count, void* context) {
  if (!context)
    return 1;
  return static_cast<CPopWndAudio*>(context)->OnWaveBlock(samples, count);
}

int CPopWndAudio::OnWaveBlock(const short* samples, int count) {
  if (!samples || count <= 0)
    return 1;
  std::lock_guard<std::mutex> lock(waveMutex_);
  if (closed_)
    return 1;
  // Allocated under the lock: the paint never meets a half-made buffer.
  if (micWaveBuffer_.empty()) {
    micWaveBuffer_.assign(static_cast<size_t>(count) + 16, 0);
    waveCapacity_ = count + 1;
  }
  // A block larger than the first is dropped rather than written past the buffer.
  if (count >= waveCapacity_ || static_cast<size_t>(count) > micWaveBuffer_.size())
    return 1;
  std::copy(samples, samples + count, micWaveBuffer_.begin());
  waveCount_ = count;
  return 1;
}

bool CPopWndAudio::CopyLatestWave(short* out, int count) {
  std::lock_guard<std::mutex> lock(waveMutex_);
  if (micWaveBuffer_.empty())
    return false;
  int have = std::min(count, waveCount_);
  std::copy(micWaveBuffer_.begin(), micWaveBuffer_.begin() + std::max(0, have), out);
  std::fill(out + std::max(0, have), out + count, short{0});
  return true;
}

int CPopWndAudio::GetWaveCapacity() {
  std::lock_guard<std::mutex> lock(waveMutex_);
  return waveCapacity_;
}

size_t CPopWndAudio::GetWaveAllocated() {
  std::lock_guard<std::mutex> lock(waveMutex_);
  return micWaveBuffer_.size();
}

void CPopWndAudio::ShowMessage(const std::wstring& text) {
  toolkit::SMessageBox(this, text, kTipTitle, toolkit::kMessageBoxOk);
}

void CPopWndAudio::OnVerdictButton(int verdict) {
  if (initState_ < 0) {
    ShowMessage(kStartingText);
    return;
  }
  verdict_ = verdict;
  ShowWindow(false);
  {
    std::lock_guard<std::mutex> lock(libraryMutex_);
    if (!released_)
      audio_.StopTestMicrophone();
  }
  if (SMicAudioAnimator* animator = Animator())
    animator->Stop();
  results_.SetMicrophoneTestResult(verdict);
}

void CPopWndAudio::OnMicSlider(int value) {
  micSliderValue_ = value;
  audio_.SetMicrophoneVolume(MicVolumeForPosition(value, micVolumeStep_));
}

void CPopWndAudio::OnSpeakerSlider(int value) {
  speakerSliderValue_ = value;
  audio_.SetSpeakerVolume(value);
}

void CPopWndAudio::OnDropButton(const wchar_t* dropdownName) {
  if (initState_ < 0) {
    ShowMessage(kStartingText);
    return;
  }
  if (auto* mic = FindChildByName2<SSearchDropdownList_1>(dropdownName))
    mic->DropDown();
  else if (auto* speaker = FindChildByName2<SSearchDropdownList_3>(dropdownName))
    speaker->DropDown();
}

void CPopWndAudio::FillList(EventArgs* evt, const wchar_t* listName,
                            const std::vector<AudioDevice>& devices) {
  toolkit::SHostWnd* popup = nullptr;
  int* hasItems = nullptr;
  if (auto* fill = dynamic_cast<EventFillSearchDropdownList_1*>(evt)) {
    popup = fill->popupWindow;
    hasItems = &fill->hasItems;
  } else if (auto* fill3 = dynamic_cast<EventFillSearchDropdownList_3*>(evt)) {
    popup = fill3->popupWindow;
    hasItems = &fill3->hasItems;
  }
  auto* list = popup ? popup->FindChildByName2<toolkit::SListView>(listName) : nullptr;
  if (!list)
    return;
  auto adapter = std::make_shared<CDriverFind_Os_DropBoxListViewAdapter>(this);
  for (const AudioDevice& device : devices)
    adapter->AddItem({device.name, device.id, 0});
  list->SetAdapter(adapter);
  list->SetSel(0);
  adapter->notifyDataSetChanged();
  if (adapter->getCount() > 0)
    *hasItems = 1;
}

void CPopWndAudio::OnMicSelected(int index) {
  if (index < 0)
    return;
  DropdownItem item = index < static_cast<int>(micDevices_.size())
                          ? DropdownItem{micDevices_[index].name, micDevices_[index].id, 0}
                          : DropdownItem{};
  SetText(*this, kMicEdit, item.text);
  ProbeError error;
  bool switched;
  {
    std::lock_guard<std::mutex> lock(libraryMutex_);
    switched = !released_ && audio_.SetSpecifiedIDMicrophone(item.key.c_str(), &error) == 1;
  }
  if (switched) {
    ReadMicVolume();
    if (auto* slider = FindChildByName2<toolkit::SSliderBar>(kMicSlider))
      slider->SetValue(micSliderValue_);
  } else {
    pendingMessage_ = codePage_.AnsiToWide(error.message);
    pendingMessageFlag_ = 1;
  }
}

void CPopWndAudio::OnSpeakerSelected(int index) {
  if (index < 0)
    return;
  DropdownItem item = index < static_cast<int>(speakerDevices_.size())
                          ? DropdownItem{speakerDevices_[index].name, speakerDevices_[index].id, 0}
                          : DropdownItem{};
  SetText(*this, kSpeakerEdit, item.text);
  ProbeError error;
  bool switched;
  {
    std::lock_guard<std::mutex> lock(libraryMutex_);
    switched = !released_ && audio_.SetSpecifiedIDSystemSpeaker(item.key.c_str(), &error) == 1;
  }
  if (switched) {
    int volume = 0;
    audio_.GetSpeakerVolume(&volume);
    speakerSliderValue_ = volume;
    if (auto* slider = FindChildByName2<toolkit::SSliderBar>(kSpeakerSlider))
      slider->SetValue(speakerSliderValue_);
  } else {
    pendingMessage_ = codePage_.AnsiToWide(error.message);
    pendingMessageFlag_ = 1;
  }
}

void CPopWndAudio::OnTimerEvent(unsigned id) {
  if (id != kAudioMessageTimer)
    return;
  ui_.RunPending();
  if (pendingMessageFlag_ == 1) {
    pendingMessageFlag_ = 0;
    ShowMessage(pendingMessage_);
  }
}

bool CPopWndAudio::OnKeyEvent(const toolkit::KeyEvent& key) {
  if (toolkit::SHostWnd::OnKeyEvent(key))
    return true;
  if (key.key != toolkit::Key::kEscape)
    return false;
  OnVerdictButton(kVerdictClosed);
  return true;
}

void CPopWndAudio::_HandleEvent(EventArgs* evt) {
  const std::wstring& from = evt->nameFrom;
  switch (evt->GetID()) {
    case toolkit::EVT_CMD:
      if (from == L"btn_popwnd_audio_close")
        OnVerdictButton(kVerdictClosed);
      else if (from == L"btn_popwnd_audio_error")
        OnVerdictButton(kVerdictProblem);
      else if (from == L"btn_popwnd_audio_work")
        OnVerdictButton(kVerdictWorks);
      else if (from == kMicDropButton)
        OnDropButton(kMicDropdown);
      else if (from == kSpeakerDropButton)
        OnDropButton(kSpeakerDropdown);
      else
        return;
      break;
    case toolkit::EVT_SLIDER_POS: {
      int value = static_cast<toolkit::EventSliderPos*>(evt)->nPos;
      if (from == kMicSlider)
        OnMicSlider(value);
      else if (from == kSpeakerSlider)
        OnSpeakerSlider(value);
      else
        return;
      break;
    }
    case DropdownCopy<1>::kFillEvent:
      if (evt->idFrom != kMicDropdownId)
        return;
      FillList(evt, DropdownCopy<1>::kListView, micDevices_);
      break;
    case DropdownCopy<1>::kSelectedEvent:
      if (evt->idFrom != kMicDropdownId)
        return;
      OnMicSelected(static_cast<EventDropdownListSelected_1*>(evt)->nIndex);
      break;
    case DropdownCopy<3>::kFillEvent:
      if (evt->idFrom != kSpeakerDropdownId)
        return;
      FillList(evt, DropdownCopy<3>::kListView, speakerDevices_);
      break;
    case DropdownCopy<3>::kSelectedEvent:
      if (evt->idFrom != kSpeakerDropdownId)
        return;
      OnSpeakerSelected(static_cast<EventDropdownListSelected_3*>(evt)->nIndex);
      break;
    default:
      return;
  }
  ++evt->handled;
}

SMicAudioAnimator* CPopWndAudio::Animator() const {
  return FindChildByName2<SMicAudioAnimator>(kAnimator);
}

void CPopWndAudio::OnDestroy() {
  KillTimer(kAudioMessageTimer);
  ShutDown();
}

void CPopWndAudio::ShutDown() {
  ui_.Close();
  {
    // From now on the capture thread's blocks are dropped; the lock is not held over the stop,
    // which waits for that thread.
    std::lock_guard<std::mutex> lock(waveMutex_);
    closed_ = true;
  }
  {
    std::lock_guard<std::mutex> lock(libraryMutex_);
    if (!released_) {
      released_ = true;
      audio_.StopTestMicrophone();
      audio_.ReleaseMicDllRes();
    }
  }
  if (SMicAudioAnimator* animator = Animator())
    animator->Stop();
  {
    std::lock_guard<std::mutex> lock(waveMutex_);
    micWaveBuffer_.clear();
    micWaveBuffer_.shrink_to_fit();
  }
  // A detection step still waiting for the verdict ends as if the popup had been closed.
  int pending = kVerdictPending;
  verdict_.compare_exchange_strong(pending, kVerdictClosed);
}

}  // namespace popups
