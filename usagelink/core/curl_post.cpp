#include "core/curl_post.h"

#include <curl/curl.h>

#include <chrono>
#include <cstdio>

namespace usagelink {

namespace {

// A chunk that does not fit is dropped but still counted as taken, so the transfer goes on.
std::size_t Collect(char* data, std::size_t size, std::size_t count, void* user) {
  static_cast<ResponseBuffer*>(user)->Append(data, size * count);
  return size * count;
}

// Ends a transfer once no byte has moved either way for kStallSeconds. libcurl's own low-speed
// limit judges the rate over its last five seconds or so, which let a server that stalled after
// the request hold the call for about 17 s.
class StallWatch {
 public:
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
    return now - since_ < std::chrono::seconds(kStallSeconds);
  }

  curl_off_t moved_ = 0;
  Clock::time_point since_ = Clock::now();
};

}  // namespace

bool CurlPost::Post(const std::string& url, const std::string& body, ResponseBuffer& answer) {
  CURL* curl = curl_easy_init();
  if (curl == nullptr) {
    std::printf("couldn't init curl\n");
    return false;
  }
  curl_slist* headers = curl_slist_append(nullptr, "Content-Type:application/json");
  curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
  curl_easy_setopt(curl, CURLOPT_HEADER, 1L);
  curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
  curl_easy_setopt(curl, CURLOPT_POSTFIELDS, body.data());
  curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE, static_cast<long>(body.size()));
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, Collect);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &answer);
  curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, kConnectTimeoutSeconds);
  // libcurl calls the progress function at least about once a second, also while nothing moves.
  StallWatch stall;
  curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
  curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, StallWatch::OnProgress);
  curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &stall);
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  const CURLcode result = curl_easy_perform(curl);
  curl_easy_cleanup(curl);
  curl_slist_free_all(headers);
  return result == CURLE_OK;
}

}  // namespace usagelink
