#include "version_check.h"

namespace kestrel::server {
namespace {

// What a faulty version service sends: an HTML error page whose braces hold no JSON.
constexpr const char* kNotJsonBody =
    "<html><head><title>503</title></head><body><h1>服务暂不可用</h1>"
    "<p>{ 请稍后再试 }</p></body></html>\n";

}  // namespace

ToolAnswer AnswerVersionCheck(const std::string& body, const std::string& current,
                              const std::string& downloadUrl, VersionMode mode) {
  if (mode == VersionMode::kNotJson) {
    return {200, "text/html; charset=utf-8", kNotJsonBody};
  }
  Json::Value request;
  if (!ParseJsonObject(body, request)) {
    return CodeAnswer(400, kVersionBadRequestCode, "请求不是JSON对象");
  }
  if (!request["id"].isString()) {
    return CodeAnswer(400, kVersionBadRequestCode, "请求中没有工具编号");
  }
  if (!request["versions"].isString()) {
    return CodeAnswer(400, kVersionBadRequestCode, "请求中没有版本号");
  }
  const auto order = CompareVersions(request["versions"].asString(), current);
  if (!order) {
    return CodeAnswer(400, kVersionBadRequestCode, "无法识别的版本号");
  }
  const bool newer = *order < 0;
  const int code = newer ? kVersionNewerCode : kVersionCurrentCode;

  Json::Value answer(Json::objectValue);
  if (mode == VersionMode::kFraction) {
    answer["code"] = code + 0.5;
  } else if (mode == VersionMode::kText) {
    answer["code"] = std::to_string(code);
  } else {
    answer["code"] = code;
  }
  answer["msg"] = newer ? "检测到新版本" : "当前已是最新版本";
  answer["version"] = current;
  if (newer) {
    answer["data"] = downloadUrl;
  }
  return {code, "application/json; charset=utf-8", JsonText(answer)};
}

}  // namespace kestrel::server
