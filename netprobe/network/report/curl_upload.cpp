#include "network/report/curl_upload.h"

#include <curl/curl.h>

#include "kestrel/http_request.h"

namespace netprobe {

HttpUploadStatus CurlUpload::Send(const HttpUploadRequest& request, std::string& answer) {
  answer.clear();
  // Harmless when already done: libcurl counts the calls.
  curl_global_init(CURL_GLOBAL_ALL);
  kestrel::HttpRequest http;
  http.url = request.url;
  http.post = request.post;
  http.body = request.body;
  http.headers = request.headers;
  http.verifyPeer = request.verifyPeer;
  http.connectSeconds = limits_.connectSeconds;
  http.stallSeconds = limits_.stallSeconds;
  // A block that would take the answer past the limit ends the transfer.
  const std::size_t largest = limits_.largestAnswer;
  const kestrel::HttpStatus status =
      kestrel::SendHttpRequest(http, [&answer, largest](const char* data, std::size_t size) {
        if (size > largest - answer.size()) {
          return false;
        }
        answer.append(data, size);
        return true;
      });
  switch (status) {
    case kestrel::HttpStatus::kDone:
      return HttpUploadStatus::kDone;
    case kestrel::HttpStatus::kNoHandle:
      return HttpUploadStatus::kNoHandle;
    case kestrel::HttpStatus::kFailed:
      break;
  }
  return HttpUploadStatus::kFailed;
}

}  // namespace netprobe
