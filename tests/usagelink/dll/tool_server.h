// Our server's test control and read-back routes, reached from the Wine tests over libcurl on
// its plain port.
#pragma once

#include <json/json.h>

#include <string>

namespace usagelink::test {

struct HttpAnswer {
  long status = 0;  // 0 when the transfer failed
  std::string body;
};

HttpAnswer HttpGet(const std::string& pathAndQuery);
HttpAnswer HttpPost(const std::string& pathAndQuery);

// "key=value&..." with the value percent-encoded.
std::string Query(std::initializer_list<std::pair<const char*, std::string>> settings);

// POST /_test/set?<query>; true when the server took every setting.
bool SetModes(const std::string& query);
bool ResetModes();

// The statistic the server stored last, as its read-back route shows it; a null value when
// there is none or the answer is no JSON object.
Json::Value LastStatistic();

// The server's own plain address, "http://127.0.0.1:<port>".
std::string ServerAddress();

}  // namespace usagelink::test
