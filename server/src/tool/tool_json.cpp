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

bool IsValidUtf8(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size()) {
    const auto c = static_cast<unsigned char>(text[i]);
    std::size_t extra = 0;
    unsigned long code = 0;
    if (c < 0x80) {
      ++i;
      continue;
    }
    if (c >= 0xC2 && c <= 0xDF) {
      extra = 1;
      code = c & 0x1Fu;
    } else if (c >= 0xE0 && c <= 0xEF) {
      extra = 2;
      code = c & 0x0Fu;
    } else if (c >= 0xF0 && c <= 0xF4) {
      extra = 3;
      code = c & 0x07u;
    } else {
      return false;
    }
    if (i + extra >= text.size()) {
      return false;
    }
    for (std::size_t k = 1; k <= extra; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      if ((next & 0xC0u) != 0x80u) {
        return false;
      }
      code = (code << 6) | (next & 0x3Fu);
    }
    // Overlong forms, UTF-16 surrogates and values past U+10FFFF are not UTF-8.
    const unsigned long lowest[] = {0, 0x80, 0x800, 0x10000};
    if (code < lowest[extra] || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) {
      return false;
    }
    i += extra + 1;
  }
  return true;
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
