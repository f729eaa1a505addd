// The download speed test: the payload fetched for at most 20 seconds, its speeds and score.
#pragma once

#include <chrono>
#include <string>

#include "NetProbe.h"
#include "core/probe_engine.h"
#include "probes/speed/speed_downloader.h"

namespace netprobe {

// Code 1 for every failure past the presence check; the export reports it too when the probe
// cannot run at all.
inline constexpr const char kSpeedTestFailedMessage[] = "网络测速失败";

// The payload's name in the all-users data folder.
inline constexpr const wchar_t kPayloadFileName[] = L"QZR.exe";

// http://<speed-test host>/tarvos/DriverFilesUploadFloder/35240/<payload file>
std::string PayloadUrl();

// Refills downloadSpeed; 1 on success, 0 with `error` filled. Expects the presence check to have
// passed and libcurl to be initialised.
int ProbeDownloadSpeed(ProbeEngine& engine, ProbeError* error);
// The same with another time limit, for tests.
int ProbeDownloadSpeed(ProbeEngine& engine, ProbeError* error, std::chrono::milliseconds limit);

}  // namespace netprobe
