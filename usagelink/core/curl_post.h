// The requests over libcurl: plain HTTP, the header delivered before the body.
#pragma once

#include "core/usage_link.h"

namespace usagelink {

class CurlPost final : public IHttpPost {
 public:
  bool Post(const std::string& url, const std::string& body, ResponseBuffer& answer) override;
};

}  // namespace usagelink
