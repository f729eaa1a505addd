// What the speed test needs from outside: an HTTP transfer (libcurl in the product) and the
// payload file in the all-users data folder. Tests hand in fakes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace netprobe {

// Receives one transfer's data and progress while it runs, on the transfer's thread.
class ITransferSink {
 public:
  virtual ~ITransferSink() = default;
  // Stores received bytes; returns how many were stored (fewer ends the transfer with an error).
  virtual std::size_t OnData(const char* data, std::size_t size) = 0;
  // Called repeatedly with the transfer's current download speed (bytes per second), also while
  // no data arrives; false aborts the transfer.
  virtual bool OnProgress(double bytesPerSecond) = 0;
};

enum class TransferResult {
  kComplete,  // the whole body arrived with a success status
  kAborted,   // OnProgress asked to stop
  kFailed,    // anything else: no connection, dropped, an error status, a short write
};

class IDownloadTransport {
 public:
  virtual ~IDownloadTransport() = default;
  // One header-only request. True when it succeeded; `contentLength` is then the announced
  // length, -1 when none was announced, 0 when it cannot be read.
  virtual bool HeadRequest(const std::string& url, std::int64_t& contentLength) = 0;
  // Fetches `url` from byte `resumeFrom` on, handing data and progress to `sink`.
  virtual TransferResult Fetch(const std::string& url, std::int64_t resumeFrom,
                               ITransferSink& sink) = 0;
};

// The payload file, open for writing while the test runs. Destroying it closes and removes it.
class IPayloadFile {
 public:
  virtual ~IPayloadFile() = default;
  // Appends the bytes; returns how many were written.
  virtual std::size_t Write(const char* data, std::size_t size) = 0;
  // The file's size now, in bytes.
  virtual std::uint64_t Size() = 0;
};

class ISpeedTestFiles {
 public:
  virtual ~ISpeedTestFiles() = default;
  // The all-users application data folder, without a trailing backslash. False when unknown.
  virtual bool CommonAppDataFolder(std::wstring& folder) = 0;
  // Removes a plain file left at `path`. Links, junctions and folders are left alone (and then
  // make CreateNew fail); a missing file is no error.
  virtual void RemoveLeftover(const std::wstring& path) = 0;
  // Size of the file at `path`, 0 when there is none.
  virtual std::uint64_t FileSize(const std::wstring& path) = 0;
  // Creates `path` new and exclusively, never through a link; null when anything already
  // exists there or it cannot be created.
  virtual std::unique_ptr<IPayloadFile> CreateNew(const std::wstring& path) = 0;
};

}  // namespace netprobe
