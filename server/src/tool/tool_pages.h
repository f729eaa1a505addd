// The web pages the tool opens in the browser: feedback, download and the help article, with
// one shared style sheet. The texts are UTF-8.
#pragma once

#include <string>

namespace kestrel::server {

inline constexpr const char* kToolStylePath = "/assets/tool.css";
inline constexpr const char* kHelpArticlePath = "/detail/dc_188984.html";
inline constexpr const char* kDownloadPagePath = "/download";
inline constexpr const char* kFeedbackScriptPath = "/assets/feedback.js";

const char* ToolStyleSheet();
// Every page's opening (head, style sheet, blue band titled `title`) and closing.
std::string PageStart(const std::string& title);
std::string PageEnd();
// Reads "#/suggest?id=<tool id>" in the browser and shows the form for that id.
std::string FeedbackPageHtml();
// The feedback page's script, served at kFeedbackScriptPath.
const char* FeedbackScript();
std::string DownloadPageHtml(const std::string& version);
std::string HelpArticleHtml();
std::string NotFoundPageHtml();

}  // namespace kestrel::server
