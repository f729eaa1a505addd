// Reading the version server's answer and building the request bodies.
#pragma once

#include <string>
#include <string_view>

#include "kestrel/codepage.h"

namespace usagelink {

struct VersionAnswer {
  int code = 0;             // 0 when the answer is unusable
  bool hasAddress = false;  // "data" was a text and code 202
  std::string address;      // ANSI code page
};

inline constexpr int kNewerVersion = 202;

// `answer` is UTF-8, possibly with the status line and headers first: the JSON starts at the
// first "{". "code" counts only as a JSON integer within int's range.
VersionAnswer ReadVersionAnswer(std::string_view answer, const kestrel::ICodePage& pages);

// The request bodies: indented JSON objects of string members, in UTF-8.
std::string VersionBody(const std::string& id, const std::string& versions,
                        const kestrel::ICodePage& pages);
struct StatisticsFields {
  std::string id, datetime, versions, status, pcModel, manufacture, serialNumber;
};
std::string StatisticsBody(const StatisticsFields& fields, const kestrel::ICodePage& pages);

}  // namespace usagelink
