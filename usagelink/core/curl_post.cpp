#include "core/curl_post.h"

#include <curl/curl.h>

#include <cstdio>

namespace usagelink {

namespace {

// A chunk that does not fit is dropped but still counted as taken, so the transfer goes on.
std::size_t Collect(char* data, std::size_t size, std::size_t count, void* user) {
  static_cast<ResponseBuffer*>(user)->Append(data, size * count);
  return size * count;
}

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
  curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
  curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, kStallSeconds);
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  const CURLcode result = curl_easy_perform(curl);
  curl_easy_cleanup(curl);
  curl_slist_free_all(headers);
  return result == CURLE_OK;
}

}  // namespace usagelink
