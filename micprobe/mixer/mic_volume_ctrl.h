// The microphone volume as the mixer's source line of the recording destination gives it.
#pragma once

#include <cstdint>

#include "mixer/mixer_backend.h"

namespace micprobe {

class IVolume {
 public:
  virtual ~IVolume() = default;
  virtual bool IsUsable() const = 0;
  virtual bool SelectAsRecordingSource() = 0;
  virtual void Idle() {}
  virtual int Steps() const = 0;
  virtual int Minimum() const = 0;
  virtual int Maximum() const = 0;
  virtual int GetValue() = 0;
  virtual void SetValue(int value) = 0;
};

class CMicrophoneVolumeCtrl : public IVolume {
 public:
  CMicrophoneVolumeCtrl(IMixerBackend& mixer, std::uint32_t source, std::uint32_t waveInDevice);
  ~CMicrophoneVolumeCtrl() override;
  CMicrophoneVolumeCtrl(const CMicrophoneVolumeCtrl&) = delete;
  CMicrophoneVolumeCtrl& operator=(const CMicrophoneVolumeCtrl&) = delete;

  bool IsUsable() const override { return usable_; }
  bool SelectAsRecordingSource() override;
  int Steps() const override { return usable_ ? static_cast<int>(steps_) : -1; }
  int Minimum() const override { return usable_ ? minimum_ : -1; }
  int Maximum() const override { return usable_ ? maximum_ : -1; }
  int GetValue() override;
  void SetValue(int value) override;

 private:
  bool LookUpLine(std::uint32_t source);

  IMixerBackend& mixer_;
  std::uint32_t waveInDevice_;
  bool mixerOpened_ = false;
  bool lineReady_ = false;
  bool usable_ = false;
  std::uint32_t lineId_ = 0;
  std::uint32_t controlId_ = 0;
  std::uint32_t channels_ = 0;
  std::uint32_t sourcePlusOne_ = 0;
  std::int32_t minimum_ = -1;
  std::int32_t maximum_ = -1;
  std::uint32_t steps_ = 0;
};

// The microphone's mixer line as the exports address it: wave-in device 0 and a source index
// that the getters reset to 0.
struct MixerLineRef {
  std::uint32_t waveInDevice = 0;
  std::uint32_t source = 0;

  struct Reading {
    int minimum = -1;
    int maximum = -1;
    int value = -1;
  };
  // Source 0: the range, the line selected as recording source, then the current value.
  Reading Read(IMixerBackend& mixer);
  void Set(IMixerBackend& mixer, int value);
};

}  // namespace micprobe
