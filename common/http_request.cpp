#include "kestrel/http_request.h"

#include <curl/curl.h>

#include <chrono>

namespace kestrel {

namespace {

std::size_t ReadBlock(char* data, std::size_t size, std::size_t count, void* user) {
  const std::size_t bytes = size * count;
  return (*static_cast<const HttpAnswerReader*>(user))(data, bytes) ? bytes : 0;
}

// Ends a transfer once no byte has moved either way for the limit. libcurl's own low-speed
// limit judges the rate over its last five seconds or so, which let a server that stalled
// after the request hold the call for several seconds past the limit.
class StallWatch {
 public:
  explicit StallWatch(long seconds) : limit_(seconds) {}

  static int OnProgress(void* user, curl_off_t, curl_off_t downloaded, curl_off_t,
                        curl_off_t uploaded) {
    return static_cast<StallWatch*>(user)->Check(downloaded + uploaded) ? 0 : 1;
  }

 private:
  using Clock = std::chrono::steady_clock;

  // False once `moved` has stayed the same for the whole limit.
  bool Check(curl_off_t moved) {
    const Clock::time_point now = Clock::now();
    if (moved != moved_) {
      moved_ = moved;
      since_ = now;
    }
    return now - since_ < limit_;
  }

  std::chrono::seconds limit_;
  curl_off_t moved_ = 0;
  Clock::time_point since_ = Clock::now();
};

class Headers {
 public:
  Headers() = default;
  Headers(const Headers&) = delete;
  Headers& operator=(const Headers&) = delete;
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

HttpStatus SendHttpRequest(const HttpRequest& request, const HttpAnswerReader& read) {
  Headers headers;
  for (const std::string& header : request.headers) {
    if (!headers.Add(header)) {
      return HttpStatus::kNoHandle;
    }
  }
  CURL* curl = curl_easy_init();
  if (curl == nullptr) {
    return HttpStatus::kNoHandle;
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
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, ReadBlock);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &read);
  if (request.connectSeconds > 0) {
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, request.connectSeconds);
  }
  // libcurl calls the progress function about once a second, also while nothing moves.
  StallWatch stall(request.stallSeconds);
  if (request.stallSeconds > 0) {
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, StallWatch::OnProgress);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &stall);
  }
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  const CURLcode result = curl_easy_perform(curl);
  curl_easy_cleanup(curl);
  return result == CURLE_OK ? HttpStatus::kDone : HttpStatus::kFailed;
}

}  // namespace kestrel
