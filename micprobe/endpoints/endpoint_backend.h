// The audio endpoints of the system (Core Audio on Windows: endpoints_win32.cpp; fakes in
// tests). Every operation returns its outcome and never throws.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace micprobe {

enum class Flow : int { kRender = 0, kCapture = 1 };

// The default speaker's volume, opened for one volume change or reading.
class ISpeakerVolume {
 public:
  virtual ~ISpeakerVolume() = default;
  virtual bool GetLevel(float* level) = 0;
  virtual bool GetMute(bool* muted) = 0;
  // freshContext: the change carries a new event context, else the all-zero one.
  virtual bool SetMute(bool muted, bool freshContext) = 0;
  virtual bool SetLevel(float level, bool freshContext) = 0;
};

class IEndpointBackend {
 public:
  virtual ~IEndpointBackend() = default;
  // The calling thread's COM apartment around one export's work.
  virtual void EnterCall() = 0;
  virtual void LeaveCall() = 0;

  // Calls visit for each active endpoint of the direction, in enumeration order. False when a
  // step failed; the endpoints visited before the failing one stay visited.
  using Visit = void (*)(const std::wstring& id, const std::wstring& name, void* context);
  virtual bool WalkActive(Flow flow, Visit visit, void* context) = 0;
  // The friendly name of the direction's default endpoint (multimedia role).
  virtual bool DefaultName(Flow flow, std::wstring* name) = 0;
  // Makes the endpoint the default for the console role; the platform's HRESULT.
  virtual std::int32_t MakeDefault(const std::wstring& id) = 0;
  // The default speaker's volume (null on failure); forChange first makes a fresh event
  // context, whose failure fails the opening.
  virtual std::unique_ptr<ISpeakerVolume> OpenSpeakerVolume(bool forChange) = 0;
};

}  // namespace micprobe
