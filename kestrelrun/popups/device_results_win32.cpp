#include "device_results.h"

#include "NetProbe.h"

namespace popups {
namespace {

class NetProbeDeviceResults : public IDeviceTestResults {
 public:
  int SetMicrophoneTestResult(int verdict) override { return ::SetMicrophoneTestResult(verdict); }
  int SetCameraTestResult(int verdict) override { return ::SetCameraTestResult(verdict); }
};

}  // namespace

IDeviceTestResults& NetProbeResults() {
  static NetProbeDeviceResults results;
  return results;
}

}  // namespace popups
