#include "tool_json.h"

#include <json/reader.h>
#include <json/writer.h>

#include <ctime>
#include <memory>

namespace kestrel::server {

std::string JsonText(const Json::Value& value) {
  Json::StreamWriterBuilder builder;
  builder["indentation"] = "";
  builder["emitUTF8"] = true;
  return Json::writeString(builder, value);
}

bool ParseJsonObject(std::string_view text, Json::Value& out) {
  Json::CharReaderBuilder builder;
  builder["collectComments"] = false;
  builder["failIfExtra"] = true;
  const std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
  std::string errors;
  Json::Value value;
  if (!reader->parse(text.data(), text.data() + text.size(), &value, &errors) ||
      !value.isObject()) {
    return false;
  }
  out = std::move(value);
  return true;
}

ToolAnswer CodeAnswer(int status, int code, const std::string& message) {
  Json::Value body(Json::objectValue);
  body["code"] = code;
  body["msg"] = message;
  return {status, "application/json; charset=utf-8", JsonText(body)};
}

std::string UtcNowText() {
  const std::time_t now = std::time(nullptr);
  std::tm parts{};
  gmtime_r(&now, &parts);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &parts);
  return text;
}

}  // namespace kestrel::server
