#include "tool_server.h"

#include <cctype>
#include <memory>

namespace usagelink::test {

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
  return kestrel::test::Http("/_test/set?" + query, true).status == 200;
}

bool ResetModes() {
  return kestrel::test::Http("/_test/reset", true).status == 200;
}

Json::Value LastStatistic() {
  const kestrel::test::HttpAnswer answer = kestrel::test::Http("/_test/statistics/last", false);
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
