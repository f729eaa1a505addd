// The driver's network part (demo_network.cpp): the records of the DNS test, the router delay,
// the LAN count and the speed test, and the device tests through the stand-in testers.
#pragma once

#include <vector>

#include "NetProbe.h"

void Print(const DnsTestInfo& dns);
// `wired` is the export's record; the wireless one follows it.
void PrintRouterDelay(const std::vector<RouterDelayEntry>* wired);
void PrintLanDevices(const std::vector<LanDevicesEntry>* wired);
void Print(const DownloadSpeedInfo& speed);

// GetMicrophoneTest (the tester in Test\ leaves its number), then SetMicrophoneTestResult with
// that number as the popup would: the verdict. Likewise for the camera.
int MicrophoneVerdict();
int CameraVerdict();
