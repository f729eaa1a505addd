// The report uploads over libcurl.
#pragma once

#include <cstddef>

#include "core/platform.h"

namespace netprobe {

// Bounds of one upload: a server that never answers must not hold the detection for ever.
inline constexpr long kUploadConnectTimeoutSeconds = 25;
inline constexpr long kUploadStallSeconds = 30;  // no byte moving for this long ends it
inline constexpr std::size_t kLargestAnswer = 1024 * 1024;

// How long an upload may wait and how much it may read.
struct UploadLimits {
  long connectSeconds = kUploadConnectTimeoutSeconds;
  long stallSeconds = kUploadStallSeconds;
  std::size_t largestAnswer = kLargestAnswer;
};

class CurlUpload final : public IHttpUpload {
 public:
  // The product's limits; tests pass shorter ones to see the bounds hold without waiting.
  explicit CurlUpload(const UploadLimits& limits = UploadLimits()) : limits_(limits) {}
  HttpUploadStatus Send(const HttpUploadRequest& request, std::string& answer) override;

 private:
  UploadLimits limits_;
};

}  // namespace netprobe
