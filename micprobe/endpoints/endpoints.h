// Listing endpoints with the default rule, and the speaker volume with its mute rule.
#pragma once

#include "MicProbe.h"
#include "endpoints/endpoint_backend.h"

namespace micprobe {

// Percent 0 to 100 and the endpoint's scalar level 0.0 to 1.0.
float PercentToLevel(int percent);
int LevelToPercent(float level);  // truncated toward zero: 0.289 reads 28

// An endpoint counts as default when the default endpoint's name contains its name.
bool NameIsDefault(const std::wstring& defaultName, const std::wstring& name);

// Refills the map (first entry of an id kept); true when every endpoint was walked.
bool ListEndpoints(IEndpointBackend& backend, Flow flow, AudioDeviceMap& devices);

// Percent, or -1 on failure.
int ReadSpeakerPercent(IEndpointBackend& backend);
// percent must be 0 to 100; true on success.
bool ApplySpeakerPercent(IEndpointBackend& backend, int percent);

}  // namespace micprobe
