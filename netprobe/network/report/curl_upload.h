// The report uploads over libcurl.
#pragma once

#include <cstddef>

#include "core/platform.h"

namespace netprobe {

// Bounds of one upload: a server that never answers must not hold the detection for ever.
inline constexpr long kUploadConnectTimeoutSeconds = 25;
inline constexpr long kUploadStallSeconds = 30;  // no byte moving for this long ends it
inline constexpr std::size_t kLargestAnswer = 1024 * 1024;

class CurlUpload final : public IHttpUpload {
 public:
  HttpUploadStatus Send(const HttpUploadRequest& request, std::string& answer) override;
};

}  // namespace netprobe
