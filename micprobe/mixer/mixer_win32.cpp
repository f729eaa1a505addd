// The winmm mixer of wave-input device 0: found through a probe opening of the device, opened
// with a hidden window as its notification target.
// windows.h first: the multimedia and audio headers need its types.
#include <windows.h>

#include <mmsystem.h>

#include "mixer/mixer_win32.h"

namespace micprobe::win32 {

namespace {

HMIXEROBJ Object(HMIXER mixer) {
  return reinterpret_cast<HMIXEROBJ>(mixer);
}

MixerLine ToLine(const MIXERLINEW& line) {
  MixerLine result;
  result.destination = line.dwDestination;
  result.lineId = line.dwLineID;
  result.channels = line.cChannels;
  result.connections = line.cConnections;
  result.controls = line.cControls;
  return result;
}

MixerControl ToControl(const MIXERCONTROLW& control) {
  MixerControl result;
  result.id = control.dwControlID;
  result.type = control.dwControlType;
  result.flags = control.fdwControl;
  result.items = control.cMultipleItems;
  result.minimum = control.Bounds.lMinimum;
  result.maximum = control.Bounds.lMaximum;
  result.steps = control.Metrics.cSteps;
  return result;
}

class Mixer : public IMixerBackend {
 public:
  bool Open(std::uint32_t waveInDevice) override {
    if (mixerGetNumDevs() == 0) {
      return false;
    }
    WAVEFORMATEX probe{};
    probe.wFormatTag = WAVE_FORMAT_PCM;
    probe.nChannels = 1;
    probe.nSamplesPerSec = 22050;
    probe.nAvgBytesPerSec = 44100;
    probe.nBlockAlign = 2;
    probe.wBitsPerSample = 16;
    HWAVEIN wave = nullptr;
    if (waveInOpen(&wave, waveInDevice, &probe, 0, 0, CALLBACK_NULL) != MMSYSERR_NOERROR) {
      return false;
    }
    UINT id = 0;
    const MMRESULT found =
        mixerGetID(reinterpret_cast<HMIXEROBJ>(wave), &id, MIXER_OBJECTF_HWAVEIN);
    waveInClose(wave);
    if (found != MMSYSERR_NOERROR) {
      return false;
    }
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"Volume Class Name";
    RegisterClassExW(&windowClass);  // a repeated registration fails harmlessly
    window_ = CreateWindowExW(0, L"Volume Class Name", L"Volume Name", WS_POPUP | WS_DISABLED, 0, 0,
                              0, 0, nullptr, nullptr, windowClass.hInstance, nullptr);
    if (window_ == nullptr) {
      return false;
    }
    ShowWindow(window_, SW_HIDE);
    UpdateWindow(window_);
    if (id == static_cast<UINT>(-1) || mixerOpen(&mixer_, id, reinterpret_cast<DWORD_PTR>(window_),
                                                 0, CALLBACK_WINDOW) != MMSYSERR_NOERROR) {
      DestroyWindow(window_);
      window_ = nullptr;
      return false;
    }
    return true;
  }

  void Close() override {
    if (mixer_ != nullptr) {
      mixerClose(mixer_);
      mixer_ = nullptr;
    }
    if (window_ != nullptr) {
      DestroyWindow(window_);
      window_ = nullptr;
    }
  }

  bool RecordingLine(MixerLine* line) override {
    MIXERLINEW info{};
    info.cbStruct = sizeof info;
    info.dwComponentType = MIXERLINE_COMPONENTTYPE_DST_WAVEIN;
    if (mixerGetLineInfoW(Object(mixer_), &info,
                          MIXER_GETLINEINFOF_COMPONENTTYPE | MIXER_OBJECTF_HMIXER) !=
        MMSYSERR_NOERROR) {
      return false;
    }
    *line = ToLine(info);
    return true;
  }

  bool SourceLine(std::uint32_t destination, std::uint32_t source, MixerLine* line) override {
    MIXERLINEW info{};
    info.cbStruct = sizeof info;
    info.dwDestination = destination;
    info.dwSource = source;
    if (mixerGetLineInfoW(Object(mixer_), &info,
                          MIXER_GETLINEINFOF_SOURCE | MIXER_OBJECTF_HMIXER) != MMSYSERR_NOERROR) {
      return false;
    }
    *line = ToLine(info);
    return true;
  }

  bool VolumeControl(std::uint32_t lineId, MixerControl* control) override {
    MIXERCONTROLW found{};
    found.cbStruct = sizeof found;
    MIXERLINECONTROLSW query{};
    query.cbStruct = sizeof query;
    query.dwLineID = lineId;
    query.dwControlType = MIXERCONTROL_CONTROLTYPE_VOLUME;
    query.cControls = 1;
    query.cbmxctrl = sizeof found;
    query.pamxctrl = &found;
    if (mixerGetLineControlsW(Object(mixer_), &query,
                              MIXER_GETLINECONTROLSF_ONEBYTYPE | MIXER_OBJECTF_HMIXER) !=
        MMSYSERR_NOERROR) {
      return false;
    }
    *control = ToControl(found);
    return true;
  }

  bool AllControls(const MixerLine& line, std::vector<MixerControl>* controls) override {
    if (line.controls == 0) {
      return false;
    }
    std::vector<MIXERCONTROLW> found(line.controls);
    for (MIXERCONTROLW& control : found) {
      control.cbStruct = sizeof control;
    }
    MIXERLINECONTROLSW query{};
    query.cbStruct = sizeof query;
    query.dwLineID = line.lineId;
    query.cControls = line.controls;
    query.cbmxctrl = sizeof(MIXERCONTROLW);
    query.pamxctrl = found.data();
    if (mixerGetLineControlsW(Object(mixer_), &query,
                              MIXER_GETLINECONTROLSF_ALL | MIXER_OBJECTF_HMIXER) !=
        MMSYSERR_NOERROR) {
      return false;
    }
    for (const MIXERCONTROLW& control : found) {
      controls->push_back(ToControl(control));
    }
    return true;
  }

  bool GetValues(std::uint32_t controlId, std::uint32_t channels, std::uint32_t items,
                 std::vector<std::int32_t>* values) override {
    std::vector<LONG> entries(std::size_t{channels} * items, 0);
    MIXERCONTROLDETAILS details = Details(controlId, channels, items, entries.data());
    if (mixerGetControlDetailsW(Object(mixer_), &details,
                                MIXER_GETCONTROLDETAILSF_VALUE | MIXER_OBJECTF_HMIXER) !=
        MMSYSERR_NOERROR) {
      return false;
    }
    values->assign(entries.begin(), entries.end());
    return true;
  }

  bool SetValues(std::uint32_t controlId, std::uint32_t channels, std::uint32_t items,
                 const std::vector<std::int32_t>& values) override {
    std::vector<LONG> entries(values.begin(), values.end());
    MIXERCONTROLDETAILS details = Details(controlId, channels, items, entries.data());
    return mixerSetControlDetails(Object(mixer_), &details,
                                  MIXER_SETCONTROLDETAILSF_VALUE | MIXER_OBJECTF_HMIXER) ==
           MMSYSERR_NOERROR;
  }

 private:
  static MIXERCONTROLDETAILS Details(std::uint32_t controlId, std::uint32_t channels,
                                     std::uint32_t items, LONG* entries) {
    MIXERCONTROLDETAILS details{};
    details.cbStruct = sizeof details;
    details.dwControlID = controlId;
    details.cChannels = channels;
    details.cMultipleItems = items > 1 ? items : 0;
    details.cbDetails = sizeof(LONG);
    details.paDetails = entries;
    return details;
  }

  HMIXER mixer_ = nullptr;
  HWND window_ = nullptr;
};

}  // namespace

std::unique_ptr<IMixerBackend> MakeMixer() {
  return std::make_unique<Mixer>();
}

}  // namespace micprobe::win32
