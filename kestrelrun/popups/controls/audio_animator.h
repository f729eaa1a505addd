// SMicAudioAnimator ("MicAudioAnimator" in layouts): the microphone signal as a row of vertical
// bars centred on a line, repainted every few frame ticks from the samples its source keeps.
#pragma once

#include <array>
#include <string>

#include "controls/wave_bars.h"
#include "toolkit/controls.h"
#include "toolkit/host.h"

namespace popups {

// Where the animator finds the latest samples (the audio popup's wave buffer).
class IWaveSource {
 public:
  virtual ~IWaveSource() = default;
  // Copies the first `count` samples of the latest block under the source's lock (zeros past
  // its end); false when there is no block yet or the lock could not be taken.
  virtual bool CopyLatestWave(short* out, int count) = 0;
};

class SMicAudioAnimator : public toolkit::SImageWnd, public toolkit::ITimelineHandler {
 public:
  TOOLKIT_CLASS_NAME(toolkit::SImageWnd, L"MicAudioAnimator")
  SMicAudioAnimator();
  ~SMicAudioAnimator() override;

  // Resets the frame count, takes the source, shows the control and joins the frame ticks.
  void Start(IWaveSource* source);
  void Stop();
  bool IsRunning() const { return registered_; }

  void OnNextFrame() override;
  bool SetAttribute(const std::wstring& name, const std::wstring& value,
                    bool loading = false) override;
  void OnPaint(toolkit::IRender& render) override;
  void OnDetach() override;

  int GetSpeed() const { return speed_; }
  int GetSteps() const { return steps_; }
  toolkit::Color GetWaveColor() const { return waveColor_; }
  const std::array<WaveBar, kWaveSamples>& Bars() const { return bars_; }
  // Repaints asked for by frame ticks since construction (for the frame-rate figures).
  int GetRepaintRequests() const { return repaintRequests_; }

 private:
  void Register(bool on);
  // Turns the source's latest samples into bars; keeps the previous bars without new samples.
  void UpdateBars();

  int speed_ = 30;
  int frameCount_ = 0;
  int repaintRequests_ = 0;
  int steps_ = 20;
  toolkit::Color waveColor_{255, 255, 255, 224};
  std::array<WaveBar, kWaveSamples> bars_;
  IWaveSource* source_ = nullptr;
  toolkit::SHostWnd* registeredWith_ = nullptr;
  bool registered_ = false;
};

}  // namespace popups
