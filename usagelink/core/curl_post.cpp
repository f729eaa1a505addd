#include "core/curl_post.h"

#include "kestrel/http_request.h"

namespace usagelink {

bool CurlPost::Post(const std::string& url, const std::string& body, ResponseBuffer& answer) {
  kestrel::HttpRequest request;
  request.url = url;
  request.body = body;
  request.headers = {"Content-Type:application/json"};
  request.connectSeconds = kConnectTimeoutSeconds;
  request.stallSeconds = kStallSeconds;
  // A chunk that does not fit is dropped but still counted as taken, so the transfer goes on.
  return kestrel::SendHttpRequest(request, [&answer](const char* data, std::size_t size) {
           answer.Append(data, size);
           return true;
         }) == kestrel::HttpStatus::kDone;
}

}  // namespace usagelink
