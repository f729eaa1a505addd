// The legacy mixer of a wave-input device (winmm on Windows: mixer_win32.cpp; fakes in tests).
#pragma once

#include <cstdint>
#include <vector>

namespace micprobe {

struct MixerLine {
  std::uint32_t destination = 0;  // index of the destination line
  std::uint32_t lineId = 0;
  std::uint32_t channels = 0;
  std::uint32_t connections = 0;  // source lines of a destination
  std::uint32_t controls = 0;     // number of controls on the line
};

struct MixerControl {
  std::uint32_t id = 0;
  std::uint32_t type = 0;
  std::uint32_t flags = 0;
  std::uint32_t items = 0;  // of a multiple-item control
  std::int32_t minimum = 0;
  std::int32_t maximum = 0;
  std::uint32_t steps = 0;
};

inline constexpr std::uint32_t kVolumeControlType = 0x50030001;
inline constexpr std::uint32_t kBooleanUnits = 0x00010000;
inline constexpr std::uint32_t kControlUniform = 0x1;
inline constexpr std::uint32_t kControlMultiple = 0x2;
inline constexpr std::uint32_t kControlDisabled = 0x80000000;

class IMixerBackend {
 public:
  virtual ~IMixerBackend() = default;
  // Finds the mixer of the wave-input device and opens it with its hidden window.
  virtual bool Open(std::uint32_t waveInDevice) = 0;
  virtual void Close() = 0;
  // The recording (wave-in) destination line.
  virtual bool RecordingLine(MixerLine* line) = 0;
  virtual bool SourceLine(std::uint32_t destination, std::uint32_t source, MixerLine* line) = 0;
  virtual bool VolumeControl(std::uint32_t lineId, MixerControl* control) = 0;
  virtual bool AllControls(const MixerLine& line, std::vector<MixerControl>* controls) = 0;
  // Values laid out channel by channel, `items` entries each (1 for a plain control).
  virtual bool GetValues(std::uint32_t controlId, std::uint32_t channels, std::uint32_t items,
                         std::vector<std::int32_t>* values) = 0;
  virtual bool SetValues(std::uint32_t controlId, std::uint32_t channels, std::uint32_t items,
                         const std::vector<std::int32_t>& values) = 0;
};

}  // namespace micprobe
