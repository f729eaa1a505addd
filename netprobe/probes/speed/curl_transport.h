// The speed test's HTTP transfers through libcurl (curl_global_init is InitDll's job).
#pragma once

#include "probes/speed/speed_platform.h"

namespace netprobe {

class CurlTransport final : public IDownloadTransport {
 public:
  bool HeadRequest(const std::string& url, std::int64_t& contentLength) override;
  TransferResult Fetch(const std::string& url, std::int64_t resumeFrom,
                       ITransferSink& sink) override;
};

}  // namespace netprobe
