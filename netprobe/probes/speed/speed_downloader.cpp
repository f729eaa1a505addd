#include "probes/speed/speed_downloader.h"

#include <system_error>

namespace netprobe {

namespace {

// The header-only request is tried once and then up to this many more times.
constexpr int kHeadRetries = 5;
constexpr unsigned kHeadRetryPauseMs = 100;

}  // namespace

SpeedDownloader::SpeedDownloader(IDownloadTransport& transport, ISpeedTestFiles& files,
                                 IClock& clock, std::chrono::milliseconds timeLimit)
    : transport_(transport), files_(files), clock_(clock), timeLimit_(timeLimit) {}

SpeedDownloader::~SpeedDownloader() {
  StopWatchdog();  // already done by Download; kept so that no path leaves a thread behind
}

std::int64_t SpeedDownloader::RemoteSize() {
  std::int64_t length = 0;
  for (int attempt = 0; attempt <= kHeadRetries; ++attempt) {
    if (attempt > 0) {
      clock_.SleepMilliseconds(kHeadRetryPauseMs);
    }
    if (transport_.HeadRequest(url, length)) {
      return length;
    }
  }
  return -1;
}

bool SpeedDownloader::Download() {
  resumeOffset = static_cast<std::int64_t>(files_.FileSize(localPath));
  const std::int64_t remoteSize = RemoteSize();
  if (remoteSize == 0 || remoteSize == resumeOffset) {
    return false;  // nothing to fetch
  }
  file_ = files_.CreateNew(localPath);
  if (file_ == nullptr) {
    return false;
  }

  status = kDownloadRunning;
  {
    std::lock_guard<std::mutex> lock(watchdogMutex_);
    transferRunning_ = true;
    transferEnded_ = false;
  }
  const auto watchdogStart = std::chrono::steady_clock::now();
  try {
    watchdog_ = std::thread([this, watchdogStart] { Watchdog(watchdogStart); });
  } catch (const std::system_error&) {
    // Without a watchdog the transfer runs without a time limit.
  }

  const TransferResult result = transport_.Fetch(url, resumeOffset, *this);
  if (firstSample_) {
    accumulatedMicroseconds_ += std::chrono::duration_cast<std::chrono::microseconds>(
                                    std::chrono::steady_clock::now() - timerStart_)
                                    .count();
  }
  elapsedSeconds = static_cast<double>(accumulatedMicroseconds_) / 1000.0 / 1000.0;
  StopWatchdog();
  stopRequest.store(kStopRequested);
  firstSample_ = false;

  localFileSize_ = file_->Size();
  switch (result) {
    case TransferResult::kComplete:
      status = kDownloadComplete;
      return true;
    case TransferResult::kAborted:
      status = kDownloadNotDone;
      return true;  // stopped at the time limit: the bytes so far count
    case TransferResult::kFailed:
      break;
  }
  status = kDownloadNotDone;
  file_.reset();  // closing removes it
  return false;
}

std::size_t SpeedDownloader::OnData(const char* data, std::size_t size) {
  if (data == nullptr || file_ == nullptr) {
    return 0;
  }
  return file_->Write(data, size);
}

bool SpeedDownloader::OnProgress(double bytesPerSecond) {
  if (stopRequest.load() == kStopRequested) {
    return false;
  }
  if (!firstSample_) {
    timerStart_ = std::chrono::steady_clock::now();
    firstSample_ = true;
  }
  if (bytesPerSecond > maxSpeed) {
    maxSpeed = bytesPerSecond;
  }
  if (bytesPerSecond > 0.0 && bytesPerSecond < minSpeed) {
    minSpeed = bytesPerSecond;
  }
  return true;
}

void SpeedDownloader::Watchdog(std::chrono::steady_clock::time_point start) {
  std::unique_lock<std::mutex> lock(watchdogMutex_);
  const bool ended =
      watchdogWake_.wait_until(lock, start + timeLimit_, [this] { return transferEnded_; });
  if (!ended && transferRunning_) {
    stopRequest.store(kStopRequested);
  }
}

void SpeedDownloader::StopWatchdog() {
  {
    std::lock_guard<std::mutex> lock(watchdogMutex_);
    transferRunning_ = false;
    transferEnded_ = true;
  }
  watchdogWake_.notify_all();
  if (watchdog_.joinable()) {
    watchdog_.join();
  }
}

}  // namespace netprobe
