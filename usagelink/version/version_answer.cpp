#include "version/version_answer.h"

#include <json/json.h>

#include <climits>
#include <memory>

namespace usagelink {

VersionAnswer ReadVersionAnswer(std::string_view answer, const kestrel::ICodePage& pages) {
  VersionAnswer result;
  const std::string text = pages.WideToAnsi(pages.Utf8ToWide(std::string(answer)));
  const std::size_t brace = text.find('{');
  if (brace == std::string::npos) {
    return result;
  }
  Json::CharReaderBuilder builder;
  builder["allowComments"] = true;
  const std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
  Json::Value root;
  std::string errors;
  const char* begin = text.data() + brace;
  if (!reader->parse(begin, text.data() + text.size(), &root, &errors) || !root.isObject()) {
    return result;
  }
  const Json::Value& code = root["code"];
  if (code.type() != Json::intValue || code.asInt64() < INT_MIN || code.asInt64() > INT_MAX) {
    return result;
  }
  result.code = static_cast<int>(code.asInt64());
  const Json::Value& data = root["data"];
  if (result.code == kNewerVersion && data.isString()) {
    result.hasAddress = true;
    result.address = data.asString();
  }
  return result;
}

namespace {

// The members are turned into UTF-8 before the writer sees them: it reads strings as UTF-8 and
// would garble code page bytes. It writes non-ASCII as \u escapes, which the server decodes.
std::string Body(const Json::Value& object) {
  return object.toStyledString();
}

}  // namespace

std::string VersionBody(const std::string& id, const std::string& versions,
                        const kestrel::ICodePage& pages) {
  Json::Value object(Json::objectValue);
  object["id"] = pages.AnsiToUtf8(id);
  object["versions"] = pages.AnsiToUtf8(versions);
  return Body(object);
}

std::string StatisticsBody(const StatisticsFields& fields, const kestrel::ICodePage& pages) {
  Json::Value object(Json::objectValue);
  object["id"] = pages.AnsiToUtf8(fields.id);
  object["versions"] = pages.AnsiToUtf8(fields.versions);
  object["status"] = pages.AnsiToUtf8(fields.status);
  object["datetime"] = pages.AnsiToUtf8(fields.datetime);
  object["PcModel"] = pages.AnsiToUtf8(fields.pcModel);
  object["Manufacture"] = pages.AnsiToUtf8(fields.manufacture);
  object["SerialNumber"] = pages.AnsiToUtf8(fields.serialNumber);
  return Body(object);
}

}  // namespace usagelink
