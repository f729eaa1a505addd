// The tool's pages and the text helpers they and the telemetry routes rely on; statistics that
// outlive a restart of the server.
#include <gtest/gtest.h>
#include <json/json.h>

#include <unistd.h>

#include <filesystem>
#include <string>

#include "server_harness.h"
#include "tool_json.h"
#include "tool_pages.h"

namespace kestrel::server::test {
namespace {

TEST(ToolTextTest, EscapeHtmlLeavesNoMarkup) {
  const struct {
    const char* in;
    const char* out;
  } cases[] = {
      {"", ""},
      {"2.1.20.928", "2.1.20.928"},
      {"<script>alert(1)</script>", "&lt;script&gt;alert(1)&lt;/script&gt;"},
      {"a & b", "a &amp; b"},
      {"\"x\" 'y'", "&quot;x&quot; &#39;y&#39;"},
      {"&amp;", "&amp;amp;"},
      {"联想<", "联想&lt;"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(EscapeHtml(c.in), c.out) << c.in;
  }
  EXPECT_NE(DownloadPageHtml("<b>9</b>").find("&lt;b&gt;9&lt;/b&gt;"), std::string::npos);
  EXPECT_EQ(DownloadPageHtml("<b>9</b>").find("<b>9"), std::string::npos);
}

TEST(ToolTextTest, OnlyWellFormedUtf8IsValid) {
  const struct {
    std::string text;
    bool valid;
  } cases[] = {
      {"", true},
      {"plain", true},
      {"联想（北京）", true},
      {"\xF0\x9F\x99\x82", true},   // U+1F642
      {"\xC3\x28", false},          // broken continuation
      {"\xC0\xAF", false},          // overlong '/'
      {"\xE0\x80\xAF", false},      // overlong, three bytes
      {"\xED\xA0\x80", false},      // a UTF-16 surrogate
      {"\xF4\x90\x80\x80", false},  // past U+10FFFF
      {"\xE8\x81", false},          // cut short at the end
      {"\xC1\xBF", false},          // C1 never starts a sequence
      {"\xC1\xEC\xCF\xEB", false},  // GBK, not UTF-8
      {std::string("a\0b", 3), true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsValidUtf8(c.text), c.valid) << testing::PrintToString(c.text);
  }
}

TEST(ToolPagesTest, EachPageAnswersWithItsTypeAndItsOwnParts) {
  const struct {
    const char* path;
    int status;
    const char* type;
    const char* contains;
  } cases[] = {
      {"/home", 200, "text/html; charset=utf-8", "id=\"suggest-form\""},
      {"/home", 200, "text/html; charset=utf-8", kFeedbackScriptPath},
      {kFeedbackScriptPath, 200, "text/javascript; charset=utf-8", "location.hash"},
      {"/download", 200, "text/html; charset=utf-8", "id=\"version\">2.1.20.928<"},
      {kHelpArticlePath, 200, "text/html; charset=utf-8", "Lessora"},
      {"/detail/none.html", 404, "text/html; charset=utf-8", "没有找到这个页面"},
      {kToolStylePath, 200, "text/css; charset=utf-8", "header.band"},
  };
  RunningServer s;
  for (const auto& c : cases) {
    auto res = s.Http().Get(c.path);
    ASSERT_TRUE(res) << c.path;
    EXPECT_EQ(res->status, c.status) << c.path;
    EXPECT_EQ(res->get_header_value("Content-Type"), c.type) << c.path;
    EXPECT_NE(res->body.find(c.contains), std::string::npos) << c.path;
    if (std::string(c.type).rfind("text/html", 0) == 0) {
      EXPECT_NE(res->body.find(kToolStylePath), std::string::npos) << c.path;
    }
  }
}

TEST(ToolPagesTest, StatisticsAndFeedbackOutliveARestart) {
  const auto dir =
      std::filesystem::temp_directory_path() /
      ("kestrel-tool-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
       std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  ServerOptions o = RunningServer::TestOptions();
  o.dataDir = dir.string();
  const std::string statistic =
      R"({"id":"10090","versions":"2.1.20.928","status":"1","datetime":"d","PcModel":"型号",)"
      R"("Manufacture":"m","SerialNumber":"s"})";
  {
    RunningServer s(o);
    ASSERT_EQ(s.Http().Post("/Home/tool/statistics", statistic, "application/json")->status, 200);
    ASSERT_EQ(s.Http()
                  .Post("/home/suggest", R"({"id":"10090","text":"留言"})", "application/json")
                  ->status,
              200);
  }
  RunningServer again(o);
  Json::Value stats;
  Json::Value feedback;
  Json::Reader().parse(again.Http().Get("/_test/statistics")->body, stats);
  Json::Reader().parse(again.Http().Get("/_test/feedback")->body, feedback);
  ASSERT_EQ(stats.size(), 1u);
  EXPECT_EQ(stats[0]["body"].asString(), statistic);
  EXPECT_EQ(stats[0]["members"]["PcModel"].asString(), "型号");
  ASSERT_EQ(feedback.size(), 1u);
  EXPECT_EQ(feedback[0]["text"].asString(), "留言");
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace kestrel::server::test
