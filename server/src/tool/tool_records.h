// Reading a usage statistic and a feedback submission into the records the store keeps.
#pragma once

#include <string>

#include "store/tool_store.h"

namespace kestrel::server {

// A usage statistic is a JSON object with all seven members, each a string; the members are
// kept byte for byte. False with a message for anything else.
bool ReadStatistic(const std::string& body, StatisticRecord& record, std::string& error);

// Why a feedback submission was refused; the page shows the message.
enum FeedbackError {
  kFeedbackOk = 0,
  kFeedbackNoId = 1,
  kFeedbackBadId = 2,
  kFeedbackNoText = 3,
  kFeedbackTextTooLong = 4,
  kFeedbackContactTooLong = 5,
  kFeedbackNotText = 6,
  kFeedbackNotJson = 7,
};

struct FeedbackErrorEntry {
  FeedbackError code;
  const char* message;
};

inline constexpr FeedbackErrorEntry kFeedbackErrors[] = {
    {kFeedbackOk, "感谢您的反馈！"},
    {kFeedbackNoId, "缺少工具编号，请从工具中的“意见反馈”按钮打开本页。"},
    {kFeedbackBadId, "工具编号无效。"},
    {kFeedbackNoText, "请填写反馈内容。"},
    {kFeedbackTextTooLong, "反馈内容太长，请控制在2000字以内。"},
    {kFeedbackContactTooLong, "联系方式太长。"},
    {kFeedbackNotText, "提交的内容含有无法识别的字符。"},
    {kFeedbackNotJson, "提交的格式不正确。"},
};

inline constexpr std::size_t kFeedbackMaxIdBytes = 64;
inline constexpr std::size_t kFeedbackMaxContactBytes = 200;
inline constexpr std::size_t kFeedbackMaxTextBytes = 6000;

const char* FeedbackMessage(FeedbackError code);

// A submission is a JSON object with the text members "id", "contact" and "text".
FeedbackError ReadFeedback(const std::string& body, FeedbackRecord& record);

}  // namespace kestrel::server
