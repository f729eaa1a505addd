#include "tool_records.h"

#include <algorithm>

#include "tool_json.h"

namespace kestrel::server {
namespace {

// An absent member reads as empty; false for a member that is not text.
bool Field(const Json::Value& object, const char* name, std::string& out) {
  const Json::Value& value = object[name];
  if (value.isNull()) {
    out.clear();
    return true;
  }
  if (!value.isString()) {
    return false;
  }
  out = value.asString();
  return true;
}

// Control characters have no place in a one-line field; a text may hold line breaks and tabs.
bool HasControl(const std::string& text, bool multiline) {
  return std::any_of(text.begin(), text.end(), [multiline](char c) {
    const auto u = static_cast<unsigned char>(c);
    if (multiline && (c == '\n' || c == '\r' || c == '\t')) {
      return false;
    }
    return u < 0x20 || u == 0x7F;
  });
}

bool IsBlank(const std::string& text) {
  return text.find_first_not_of(" \t\r\n") == std::string::npos;
}

}  // namespace

bool ReadStatistic(const std::string& body, StatisticRecord& record, std::string& error) {
  Json::Value request;
  if (!ParseJsonObject(body, request)) {
    error = "请求不是JSON对象";
    return false;
  }
  for (std::size_t i = 0; i < kStatisticMembers.size(); ++i) {
    const char* name = kStatisticMembers[i];
    if (!request.isMember(name)) {
      error = std::string("缺少成员 ") + name;
      return false;
    }
    const Json::Value& value = request[name];
    if (!value.isString()) {
      error = std::string("成员 ") + name + " 不是文本";
      return false;
    }
    record.members[i] = value.asString();
  }
  record.body = body;
  return true;
}

const char* FeedbackMessage(FeedbackError code) {
  for (const auto& entry : kFeedbackErrors) {
    if (entry.code == code) {
      return entry.message;
    }
  }
  return "";
}

FeedbackError ReadFeedback(const std::string& body, FeedbackRecord& record) {
  Json::Value form;
  if (!ParseJsonObject(body, form)) {
    return kFeedbackNotJson;
  }
  std::string id;
  std::string contact;
  std::string text;
  if (!Field(form, "id", id) || !Field(form, "contact", contact) || !Field(form, "text", text)) {
    return kFeedbackNotText;
  }
  if (!IsValidUtf8(id) || !IsValidUtf8(contact) || !IsValidUtf8(text)) {
    return kFeedbackNotText;
  }
  if (IsBlank(id)) {
    return kFeedbackNoId;
  }
  if (id.size() > kFeedbackMaxIdBytes || HasControl(id, false)) {
    return kFeedbackBadId;
  }
  if (IsBlank(text)) {
    return kFeedbackNoText;
  }
  if (text.size() > kFeedbackMaxTextBytes) {
    return kFeedbackTextTooLong;
  }
  if (HasControl(text, true)) {
    return kFeedbackNotText;
  }
  if (contact.size() > kFeedbackMaxContactBytes) {
    return kFeedbackContactTooLong;
  }
  if (HasControl(contact, false)) {
    return kFeedbackNotText;
  }
  record.toolId = id;
  record.contact = contact;
  record.text = text;
  return kFeedbackOk;
}

}  // namespace kestrel::server
