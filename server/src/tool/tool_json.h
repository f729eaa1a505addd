// Small JSON and text helpers the telemetry routes share.
#pragma once

#include <json/value.h>

#include <string>
#include <string_view>

#include "core/html_text.h"
#include "kestrel/utf8.h"  // IsValidUtf8, which the routes check their texts with

namespace kestrel::server {

// An HTTP answer built by route logic, applied to the response by the route.
struct ToolAnswer {
  int status = 200;
  std::string contentType = "application/json; charset=utf-8";
  std::string body;
};

// One line of JSON; non-ASCII text stays UTF-8 instead of \u escapes.
std::string JsonText(const Json::Value& value);
// True only for an object parsed from the whole of `text`.
bool ParseJsonObject(std::string_view text, Json::Value& out);
// {"code":<code>,"msg":<message>} with the given HTTP status.
ToolAnswer CodeAnswer(int status, int code, const std::string& message);

// The current UTC time as "YYYY-MM-DD hh:mm:ss".
std::string UtcNowText();

}  // namespace kestrel::server
