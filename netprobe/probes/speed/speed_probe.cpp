#include "probes/speed/speed_probe.h"

#include "core/probe_error.h"
#include "kestrel_endpoints.h"
#include "probes/speed/speed_figures.h"

namespace netprobe {

std::string PayloadUrl() {
  return std::string("http://") + kestrel::endpoints::kSpeedTestHost +
         "/tarvos/DriverFilesUploadFloder/35240/" + kestrel::endpoints::kSpeedTestFile;
}

int ProbeDownloadSpeed(ProbeEngine& engine, ProbeError* error) {
  return ProbeDownloadSpeed(engine, error, kSpeedTestTimeLimit);
}

int ProbeDownloadSpeed(ProbeEngine& engine, ProbeError* error, std::chrono::milliseconds limit) {
  engine.downloadSpeed = DownloadSpeedInfo{};
  const Platform& platform = engine.platform();
  std::wstring folder;
  if (platform.speedFiles == nullptr || platform.download == nullptr ||
      !platform.speedFiles->CommonAppDataFolder(folder)) {
    SetError(error, kSpeedTestFailed, kSpeedTestFailedMessage);
    return 0;
  }
  const std::wstring path = folder + L"\\" + kPayloadFileName;
  platform.speedFiles->RemoveLeftover(path);

  DownloadMeasurement measurement;
  {
    // The payload file goes with the downloader, whatever the outcome.
    SpeedDownloader downloader(*platform.download, *platform.speedFiles, *platform.clock, limit);
    downloader.localPath = path;
    downloader.url = PayloadUrl();
    downloader.stopRequest.store(kKeepRunning);
    if (!downloader.Download()) {
      SetError(error, kSpeedTestFailed, kSpeedTestFailedMessage);
      return 0;
    }
    measurement.bytes = downloader.LocalFileSize();
    measurement.elapsedSeconds = downloader.elapsedSeconds;
    measurement.maxSpeed = downloader.maxSpeed;
    measurement.minSpeed = downloader.minSpeed;
  }
  engine.downloadSpeed = ComputeDownloadSpeed(measurement, engine.scorer);
  return 1;
}

}  // namespace netprobe
