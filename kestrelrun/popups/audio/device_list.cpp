#include "audio/device_list.h"

namespace popups {

std::vector<AudioDevice> DevicesDefaultLast(const AudioDeviceMap& devices) {
  std::vector<AudioDevice> list;
  AudioDevice chosen;  // empty id and name, not a default
  for (const auto& [id, device] : devices) {
    (void)id;
    if (device.isDefault == 1)
      chosen = device;
    else if (device.isDefault == 0)
      list.push_back(device);
  }
  list.push_back(chosen);
  return list;
}

unsigned MicVolumeStep(int minimum, int maximum) {
  // Subtracted as unsigned: a reversed or -1 range cannot overflow a signed int.
  return (static_cast<unsigned>(maximum) - static_cast<unsigned>(minimum)) / 100u;
}

int MicSliderPosition(int volume, unsigned step) {
  if (step < 1)
    return 0;
  unsigned position = static_cast<unsigned>(volume) / step;
  return position > 100u ? 100 : static_cast<int>(position);  // -1 (unusable) reads as huge
}

int MicVolumeForPosition(int position, unsigned step) {
  if (position < 0)
    return 0;
  return static_cast<int>(static_cast<unsigned>(position) * step);
}

}  // namespace popups
