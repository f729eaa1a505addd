#include "support/server_http.h"

#include <curl/curl.h>

#include "kestrel_endpoints.h"

namespace kestrel::test {

namespace {

std::size_t Append(char* data, std::size_t size, std::size_t count, void* text) {
  static_cast<std::string*>(text)->append(data, size * count);
  return size * count;
}

}  // namespace

std::string ServerAddress() {
  return "http://127.0.0.1:" + std::to_string(endpoints::kServerHttpPort);
}

HttpAnswer Http(const std::string& pathAndQuery, bool post) {
  HttpAnswer answer;
  CURL* curl = curl_easy_init();
  if (curl == nullptr) {
    return answer;
  }
  const std::string url = ServerAddress() + pathAndQuery;
  curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
  if (post) {
    curl_easy_setopt(curl, CURLOPT_POSTFIELDS, "");
  }
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, Append);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &answer.body);
  curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, Append);
  curl_easy_setopt(curl, CURLOPT_HEADERDATA, &answer.headers);
  curl_easy_setopt(curl, CURLOPT_TIMEOUT, 10L);
  if (curl_easy_perform(curl) == CURLE_OK) {
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &answer.status);
  }
  curl_easy_cleanup(curl);
  return answer;
}

}  // namespace kestrel::test
