// Where the popups report the user's verdicts: NetProbe's two result exports.
#pragma once

namespace popups {

class IDeviceTestResults {
 public:
  virtual ~IDeviceTestResults() = default;
  virtual int SetMicrophoneTestResult(int verdict) = 0;
  virtual int SetCameraTestResult(int verdict) = 0;
};

// NetProbe.dll's exports (Windows builds).
IDeviceTestResults& NetProbeResults();

}  // namespace popups
