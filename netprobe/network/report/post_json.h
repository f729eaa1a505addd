// Talking to the report server: one JSON text sent over HTTPS, the server's JSON answer read.
#pragma once

#include <cstddef>
#include <string>

#include "NetProbe.h"
#include "core/platform.h"

namespace netprobe {

// PostJson's results; each leaves its message (GBK) in the message output.

// The message of each result, indexed by it.
inline constexpr const char* kPostMessages[] = {
    "解析失败", "添加成功", "添加失败", "未知状态码上传失败", "CURL上传失败", "curl初始化失败！",
};

// The longest report number kept, in characters: the caller's buffer holds one more for the
// terminating zero. A longer number counts as an unparsable answer.
inline constexpr std::size_t kLongestReportNumber = 255;

// The one custom header of every upload.
inline constexpr const char kJsonContentType[] = "Content-Type:application/json;charset=UTF-8";

// Reads the server's answer, which may start with the status line and headers. On result 1 the
// answer's "data" becomes `reportNumber` (through the ANSI code page, as the caller shows it).
// Members of another type than expected ("code" a number, "message" and "data" texts) make the
// answer unparsable.
int ParseReportAnswer(const std::string& answer, const ICodePage& pages, std::string& message,
                      std::wstring& reportNumber);

// Sends `body` (ANSI code page, sent as UTF-8) through the platform's upload to `address` with
// POST (`post`) or PUT and reads the answer's number into `reportNumber` (unchanged unless the
// answer holds one).
int PostJson(const Platform& platform, const std::string& body, const std::string& address,
             std::string& message, bool post, std::wstring& reportNumber);

}  // namespace netprobe
