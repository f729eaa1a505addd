#include "endpoints/endpoints.h"

namespace micprobe {

float PercentToLevel(int percent) {
  return static_cast<float>(percent / 100.0);
}

int LevelToPercent(float level) {
  return static_cast<int>(static_cast<double>(level) * 100.0);
}

bool NameIsDefault(const std::wstring& defaultName, const std::wstring& name) {
  return defaultName.find(name) != std::wstring::npos;
}

namespace {

struct ListContext {
  IEndpointBackend& backend;
  Flow flow;
  AudioDeviceMap& devices;
};

// The default is asked for each listed endpoint in its own COM call, as the system may switch
// it between two endpoints.
bool IsDefault(IEndpointBackend& backend, Flow flow, const std::wstring& name) {
  backend.EnterCall();
  std::wstring defaultName;
  const bool known = backend.DefaultName(flow, &defaultName);
  backend.LeaveCall();
  return known && NameIsDefault(defaultName, name);
}

void AddEndpoint(const std::wstring& id, const std::wstring& name, void* context) {
  auto& list = *static_cast<ListContext*>(context);
  AudioDevice device;
  device.id = id;
  device.name = name;
  device.isDefault = IsDefault(list.backend, list.flow, name) ? 1 : 0;
  list.devices.emplace(id, std::move(device));
}

}  // namespace

bool ListEndpoints(IEndpointBackend& backend, Flow flow, AudioDeviceMap& devices) {
  devices.clear();
  ListContext context{backend, flow, devices};
  return backend.WalkActive(flow, &AddEndpoint, &context);
}

int ReadSpeakerPercent(IEndpointBackend& backend) {
  std::unique_ptr<ISpeakerVolume> volume = backend.OpenSpeakerVolume(false);
  float level = 0.0F;
  if (volume == nullptr || !volume->GetLevel(&level)) {
    return -1;
  }
  return LevelToPercent(level);
}

bool ApplySpeakerPercent(IEndpointBackend& backend, int percent) {
  std::unique_ptr<ISpeakerVolume> volume = backend.OpenSpeakerVolume(true);
  bool muted = false;
  if (volume == nullptr || !volume->GetMute(&muted)) {
    return false;
  }
  const float level = PercentToLevel(percent);
  if (muted && percent == 0) {
    return volume->SetLevel(0.0F, false);
  }
  if (muted) {
    return volume->SetMute(false, true) && volume->SetLevel(level, true);
  }
  if (percent != 0) {
    return volume->SetLevel(level, false);
  }
  return volume->SetMute(true, true) && volume->SetLevel(0.0F, true);
}

}  // namespace micprobe
