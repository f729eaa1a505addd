#include <json/json.h>

#include <memory>

#include "network/report/post_json.h"

namespace netprobe {

namespace {

int Result(int result, std::string& message) {
  message = kPostMessages[result];
  return result;
}

}  // namespace

int ParseReportAnswer(const std::string& answer, const ICodePage& pages, std::string& message,
                      std::wstring& reportNumber) {
  // The status line and headers come first; the object starts at its "code" member.
  std::size_t start = answer.find("{\"code\":");
  if (start == std::string::npos) {
    start = 0;
  }
  const char* begin = answer.data() + start;
  const char* end = answer.data() + answer.size();

  Json::CharReaderBuilder builder;
  const std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
  Json::Value root;
  std::string errors;
  if (!reader->parse(begin, end, &root, &errors) || !root.isObject()) {
    return Result(kUploadAnswerUnreadable, message);
  }

  int code = 0;
  std::string data;
  for (const std::string& name : root.getMemberNames()) {
    const Json::Value& value = root[name];
    if (name == "code") {
      if (!value.isInt()) {
        return Result(kUploadAnswerUnreadable, message);
      }
      code = value.asInt();
    } else if (name == "message" || name == "data") {
      if (!value.isString()) {
        return Result(kUploadAnswerUnreadable, message);
      }
      if (name == "data") {
        data = value.asString();
      }
    }
  }

  if (code == 200) {
    // Shown and sent back in the ANSI code page: characters it lacks are lost here already.
    std::wstring number = pages.AnsiToWide(pages.WideToAnsi(pages.Utf8ToWide(data)));
    if (number.size() > kLongestReportNumber) {
      return Result(kUploadAnswerUnreadable, message);
    }
    reportNumber = std::move(number);
    return Result(kUploadAdded, message);
  }
  if (code == 201) {
    return Result(kUploadAddFailed, message);
  }
  return Result(kUploadUnknownCode, message);
}

}  // namespace netprobe
