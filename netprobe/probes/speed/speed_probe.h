// The download speed test: the payload fetched for at most 20 seconds, its speeds and score.
#pragma once

#include <chrono>
#include <string>

#include "NetProbe.h"
#include "core/platform.h"
#include "network/scorer.h"
#include "probes/speed/speed_downloader.h"

namespace netprobe {

// Code 1 for every failure past the presence check; the export reports it too when the probe
// cannot run at all.
inline constexpr const char kSpeedTestFailedMessage[] = "网络测速失败";

// The payload's name in the all-users data folder.
inline constexpr const wchar_t kPayloadFileName[] = L"QZR.exe";

// http://<speed-test host>/tarvos/DriverFilesUploadFloder/35240/<payload file>
std::string PayloadUrl();

// What the speed test uses: the HTTP transfers, the payload file and the clock. Either of the
// first two missing fails the test.
struct SpeedProbeServices {
  IDownloadTransport* download;
  ISpeedTestFiles* files;
  IClock& clock;
  const Scorer& scorer;
};

// Refills `info`; 1 on success, 0 with `error` filled. Expects the presence check to have passed
// and libcurl to be initialised.
int ProbeDownloadSpeed(const SpeedProbeServices& services, DownloadSpeedInfo& info,
                       ProbeError* error);
// The same with another time limit, for tests.
int ProbeDownloadSpeed(const SpeedProbeServices& services, DownloadSpeedInfo& info,
                       ProbeError* error, std::chrono::milliseconds limit);

}  // namespace netprobe
