// One download of the speed-test payload: the header-only size check, the transfer with speed
// sampling, and a watchdog that stops it at the time limit. Lives for one test.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "core/platform.h"
#include "probes/speed/speed_platform.h"

namespace netprobe {

inline constexpr std::chrono::milliseconds kSpeedTestTimeLimit{20000};

// Status after Download.
inline constexpr int kDownloadNotDone = -1;  // before, after a failure, or stopped at the limit
inline constexpr int kDownloadRunning = 0;
inline constexpr int kDownloadComplete = 1;

// Stop request values.
inline constexpr int kStopRequested = -1;
inline constexpr int kKeepRunning = 0;

class SpeedDownloader : private ITransferSink {
 public:
  SpeedDownloader(IDownloadTransport& transport, ISpeedTestFiles& files, IClock& clock,
                  std::chrono::milliseconds timeLimit = kSpeedTestTimeLimit);
  ~SpeedDownloader() override;
  SpeedDownloader(const SpeedDownloader&) = delete;
  SpeedDownloader& operator=(const SpeedDownloader&) = delete;

  // Fetches `url` into `localPath`. True when the transfer completed or was stopped by the time
  // limit; false when there was nothing to fetch, the file could not be created or the transfer
  // failed. Returns only once the watchdog has ended. The file stays until the downloader goes.
  bool Download();

  // The payload's size at the end of the transfer (the file itself may be gone by then).
  std::uint64_t LocalFileSize() const { return localFileSize_; }
  // The size a header-only request announces: -1 when every attempt failed or no length came.
  std::int64_t RemoteSize();

  std::wstring localPath;
  std::string url;
  int status = kDownloadNotDone;
  std::int64_t resumeOffset = 0;
  std::atomic<int> stopRequest{kStopRequested};  // the caller sets kKeepRunning before Download
  double maxSpeed = 0.0;                         // bytes per second
  double minSpeed = 10000000.0;                  // bytes per second
  double elapsedSeconds = 0.0;

 private:
  std::size_t OnData(const char* data, std::size_t size) override;
  bool OnProgress(double bytesPerSecond) override;
  void Watchdog(std::chrono::steady_clock::time_point start);
  // Ends the watchdog and waits for it.
  void StopWatchdog();

  IDownloadTransport& transport_;
  ISpeedTestFiles& files_;
  IClock& clock_;
  const std::chrono::milliseconds timeLimit_;
  std::unique_ptr<IPayloadFile> file_;
  std::uint64_t localFileSize_ = 0;

  // Transfer timer: starts at the first progress sample.
  bool firstSample_ = false;
  std::chrono::steady_clock::time_point timerStart_{};
  std::int64_t accumulatedMicroseconds_ = 0;

  // The watchdog and the transfer meet only here; Download joins the watchdog before returning.
  std::mutex watchdogMutex_;
  std::condition_variable watchdogWake_;
  bool transferRunning_ = false;
  bool transferEnded_ = false;
  std::thread watchdog_;
};

}  // namespace netprobe
