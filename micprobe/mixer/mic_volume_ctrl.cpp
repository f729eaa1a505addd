#include "mixer/mic_volume_ctrl.h"

#include <algorithm>
#include <new>

#include "core/engine_error.h"
#include "core/messages.h"

namespace micprobe {

CMicrophoneVolumeCtrl::CMicrophoneVolumeCtrl(IMixerBackend& mixer, std::uint32_t source,
                                             std::uint32_t waveInDevice)
    : mixer_(mixer), waveInDevice_(waveInDevice) {
  mixerOpened_ = mixer_.Open(waveInDevice_);
  if (mixerOpened_ && !LookUpLine(source)) {
    mixer_.Close();
    mixerOpened_ = false;
  }
}

CMicrophoneVolumeCtrl::~CMicrophoneVolumeCtrl() {
  if (mixerOpened_) {
    mixer_.Close();
    lineReady_ = false;
    mixerOpened_ = false;
  }
}

bool CMicrophoneVolumeCtrl::LookUpLine(std::uint32_t source) {
  MixerLine destination;
  if (!mixer_.RecordingLine(&destination) || source >= destination.connections) {
    return false;
  }
  MixerLine line;
  if (!mixer_.SourceLine(destination.destination, source, &line)) {
    return false;
  }
  MixerControl control;
  if (mixer_.VolumeControl(line.lineId, &control) && (control.flags & kControlDisabled) == 0) {
    usable_ = true;
  }
  sourcePlusOne_ = source + 1;
  channels_ = line.channels;
  lineId_ = line.lineId;
  controlId_ = control.id;
  minimum_ = control.minimum;
  maximum_ = control.maximum;
  steps_ = control.steps;
  lineReady_ = true;
  return true;
}

int CMicrophoneVolumeCtrl::GetValue() {
  if (!usable_ || channels_ == 0) {
    return -1;
  }
  std::vector<std::int32_t> values;
  if (!mixer_.GetValues(controlId_, channels_, 1, &values) || values.empty()) {
    return -1;
  }
  return values[0];
}

void CMicrophoneVolumeCtrl::SetValue(int value) {
  // Unsigned comparison: a negative value is far above any maximum.
  const auto v = static_cast<std::uint32_t>(value);
  if (!usable_ || v < static_cast<std::uint32_t>(minimum_) ||
      v > static_cast<std::uint32_t>(maximum_) || channels_ == 0) {
    return;
  }
  mixer_.SetValues(controlId_, channels_, 1, std::vector<std::int32_t>(channels_, value));
}

bool CMicrophoneVolumeCtrl::SelectAsRecordingSource() {
  if (!lineReady_ || !usable_) {
    return false;
  }
  MixerLine destination;
  if (!mixer_.RecordingLine(&destination)) {
    RecordEngineError(text::kNoDestinationLine);
    return false;
  }
  std::vector<MixerControl> controls;
  try {
    controls.reserve(destination.controls);
  } catch (const std::bad_alloc&) {
    RecordEngineError(text::kSelectOutOfMemory);
    return false;
  }
  if (!mixer_.AllControls(destination, &controls)) {
    return false;
  }
  const std::uint32_t source = sourcePlusOne_ - 1;
  bool selected = false;
  for (const MixerControl& control : controls) {
    const bool booleanUnits = (control.type & kBooleanUnits) != 0;
    if (!booleanUnits || (control.flags & kControlMultiple) == 0 || control.items == 0 ||
        source >= control.items) {
      continue;
    }
    const std::uint32_t items = control.items;
    const std::uint32_t channels = (control.flags & kControlUniform) != 0
                                       ? 1
                                       : std::max<std::uint32_t>(destination.channels, 1);
    std::vector<std::int32_t> values(std::size_t{channels} * items, 0);
    for (std::uint32_t channel = 0; channel < channels; ++channel) {
      values[std::size_t{channel} * items + (items - 1 - source)] = 1;
    }
    if (mixer_.SetValues(control.id, channels, items, values)) {
      selected = true;
    }
  }
  return selected;
}

MixerLineRef::Reading MixerLineRef::Read(IMixerBackend& mixer) {
  source = 0;
  CMicrophoneVolumeCtrl control(mixer, source, waveInDevice);
  Reading reading;
  reading.minimum = control.Minimum();
  reading.maximum = control.Maximum();
  control.SelectAsRecordingSource();
  reading.value = control.GetValue();
  return reading;
}

void MixerLineRef::Set(IMixerBackend& mixer, int value) {
  CMicrophoneVolumeCtrl control(mixer, source, waveInDevice);
  control.SetValue(value);
}

}  // namespace micprobe
