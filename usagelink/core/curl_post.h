// The requests over libcurl: plain HTTP, the header delivered before the body.
#pragma once

#include "core/link_platform.h"

namespace usagelink {

// KestrelRun waits for the version check while its window starts: a server that accepts the
// connection and then sends nothing must not hold it for ever. Either limit ends the transfer
// as failed.
inline constexpr long kConnectTimeoutSeconds = 10;
inline constexpr long kStallSeconds = 10;  // no byte moving either way for this long

class CurlPost final : public IHttpPost {
 public:
  bool Post(const std::string& url, const std::string& body, ResponseBuffer& answer) override;
};

}  // namespace usagelink
