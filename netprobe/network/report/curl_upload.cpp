#include "network/report/curl_upload.h"

#include <curl/curl.h>

namespace netprobe {

namespace {

struct AnswerSink {
  std::string* answer;
  std::size_t largest;
};

// Appends each block to the answer; a block that would take it past the limit ends the transfer.
std::size_t AppendBlock(char* data, std::size_t size, std::size_t count, void* target) {
  auto* sink = static_cast<AnswerSink*>(target);
  const std::size_t bytes = size * count;
  if (bytes > sink->largest - sink->answer->size()) {
    return 0;
  }
  sink->answer->append(data, bytes);
  return bytes;
}

class Headers {
 public:
  Headers(const Headers&) = delete;
  Headers& operator=(const Headers&) = delete;
  Headers() = default;
  ~Headers() { curl_slist_free_all(list_); }
  bool Add(const std::string& header) {
    curl_slist* grown = curl_slist_append(list_, header.c_str());
    if (grown == nullptr) {
      return false;
    }
    list_ = grown;
    return true;
  }
  curl_slist* get() const { return list_; }

 private:
  curl_slist* list_ = nullptr;
};

}  // namespace

HttpUploadStatus CurlUpload::Send(const HttpUploadRequest& request, std::string& answer) {
  answer.clear();
  Headers headers;
  for (const std::string& header : request.headers) {
    if (!headers.Add(header)) {
      return HttpUploadStatus::kNoHandle;
    }
  }
  // Harmless when already done: libcurl counts the calls.
  curl_global_init(CURL_GLOBAL_ALL);
  CURL* curl = curl_easy_init();
  if (curl == nullptr) {
    return HttpUploadStatus::kNoHandle;
  }
  curl_easy_setopt(curl, CURLOPT_URL, request.url.c_str());
  if (request.post) {
    curl_easy_setopt(curl, CURLOPT_POST, 1L);
  } else {
    curl_easy_setopt(curl, CURLOPT_CUSTOMREQUEST, "PUT");
  }
  curl_easy_setopt(curl, CURLOPT_POSTFIELDS, request.body.c_str());
  curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(request.body.size()));
  curl_easy_setopt(curl, CURLOPT_HEADER, 1L);
  curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers.get());
  curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, request.verifyPeer ? 1L : 0L);
  curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, request.verifyPeer ? 2L : 0L);
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, AppendBlock);
  AnswerSink sink{&answer, limits_.largestAnswer};
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &sink);
  curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, limits_.connectSeconds);
  curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
  curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, limits_.stallSeconds);
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  const CURLcode rc = curl_easy_perform(curl);
  curl_easy_cleanup(curl);
  return rc == CURLE_OK ? HttpUploadStatus::kDone : HttpUploadStatus::kFailed;
}

}  // namespace netprobe
