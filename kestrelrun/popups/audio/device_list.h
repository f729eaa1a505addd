// The audio popup's arithmetic: the order in which it lists a device map, and the microphone
// slider's steps over the mixer's raw range.
#pragma once

#include <vector>

#include "MicProbe.h"

namespace popups {

// Every device that is not the default, in map order, then the default (the last one marked
// when several are); an empty device stands last when none is marked.
std::vector<AudioDevice> DevicesDefaultLast(const AudioDeviceMap& devices);

// (maximum - minimum) / 100 in unsigned arithmetic.
unsigned MicVolumeStep(int minimum, int maximum);
// The slider position of a raw mixer value: 0 when the step is below 1, at most 100.
int MicSliderPosition(int volume, unsigned step);
// The raw mixer value a slider position sends.
int MicVolumeForPosition(int position, unsigned step);

}  // namespace popups
