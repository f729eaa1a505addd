#include "tool_server.h"

#include <curl/curl.h>

#include <cctype>
#include <memory>

#include "kestrel_endpoints.h"

namespace usagelink::test {

namespace {

std::size_t Append(char* data, std::size_t size, std::size_t count, void* text) {
  static_cast<std::string*>(text)->append(data, size * count);
  return size * count;
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
  curl_easy_setopt(curl, CURLOPT_TIMEOUT, 10L);
  if (curl_easy_perform(curl) == CURLE_OK) {
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &answer.status);
  }
  curl_easy_cleanup(curl);
  return answer;
}

}  // namespace

std::string ServerAddress() {
  return "http://127.0.0.1:" + std::to_string(kestrel::endpoints::kServerHttpPort);
}

HttpAnswer HttpGet(const std::string& pathAndQuery) {
  return Http(pathAndQuery, false);
}

HttpAnswer HttpPost(const std::string& pathAndQuery) {
  return Http(pathAndQuery, true);
}

std::string Query(std::initializer_list<std::pair<const char*, std::string>> settings) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string query;
  for (const auto& [key, value] : settings) {
    query += (query.empty() ? "" : "&") + std::string(key) + "=";
    for (const char c : value) {
      const auto byte = static_cast<unsigned char>(c);
      if (std::isalnum(byte) != 0 || c == '.' || c == '-' || c == '_') {
        query += c;
      } else {
        query += {'%', kHex[byte >> 4], kHex[byte & 15]};
      }
    }
  }
  return query;
}

bool SetModes(const std::string& query) {
  return HttpPost("/_test/set?" + query).status == 200;
}

bool ResetModes() {
  return HttpPost("/_test/reset").status == 200;
}

Json::Value LastStatistic() {
  const HttpAnswer answer = HttpGet("/_test/statistics/last");
  Json::CharReaderBuilder builder;
  const std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
  Json::Value root;
  std::string errors;
  if (answer.status != 200 ||
      !reader->parse(answer.body.data(), answer.body.data() + answer.body.size(), &root, &errors) ||
      !root.isObject()) {
    return Json::Value();
  }
  return root;
}

}  // namespace usagelink::test
