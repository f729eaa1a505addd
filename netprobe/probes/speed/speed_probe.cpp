#include "probes/speed/speed_probe.h"

#include "core/probe_error.h"
#include "kestrel_endpoints.h"
#include "probes/speed/speed_figures.h"

namespace netprobe {

std::string PayloadUrl() {
  return std::string("http://") + kestrel::endpoints::kSpeedTestHost +
         "/tarvos/DriverFilesUploadFloder/35240/" + kestrel::endpoints::kSpeedTestFile;
}

int ProbeDownloadSpeed(const SpeedProbeServices& services, DownloadSpeedInfo& info,
                       ProbeError* error) {
  return ProbeDownloadSpeed(services, info, error, kSpeedTestTimeLimit);
}

int ProbeDownloadSpeed(const SpeedProbeServices& services, DownloadSpeedInfo& info,
                       ProbeError* error, std::chrono::milliseconds limit) {
  info = DownloadSpeedInfo{};
  std::wstring folder;
  if (services.files == nullptr || services.download == nullptr ||
      !services.files->CommonAppDataFolder(folder)) {
    SetError(error, kSpeedTestFailed, kSpeedTestFailedMessage);
    return 0;
  }
  const std::wstring path = folder + L"\\" + kPayloadFileName;
  services.files->RemoveLeftover(path);

  DownloadMeasurement measurement;
  {
    // The payload file goes with the downloader, whatever the outcome.
    SpeedDownloader downloader(*services.download, *services.files, services.clock, limit);
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
  info = ComputeDownloadSpeed(measurement, services.scorer);
  return 1;
}

}  // namespace netprobe
