// Every answer of both ports carries the headers that let a browser protect its reader, and no
// page holds an inline script or style that the policy would block.
#include <gtest/gtest.h>
#include <httplib.h>

#include <cctype>

#include "report/report_page.h"
#include "server_harness.h"
#include "tool/tool_pages.h"

namespace kestrel::server::test {
namespace {

std::string CertDirFor(const char* name) {
  const std::string dir = ::testing::TempDir() + "kestrel-headers-" + name;
  const std::string cmd = std::string(KESTREL_TESTDATA_DIR) + "/../scripts/server-ctl cert " + dir;
  EXPECT_EQ(std::system(cmd.c_str()), 0);
  return dir;
}

// Inline code the policy would block: a script element without src, a style element, a style
// or on* attribute. `html` is lowered first.
bool HasInlineCode(std::string html) {
  for (char& c : html) {
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  for (std::size_t at = html.find("<script"); at != std::string::npos;
       at = html.find("<script", at + 1)) {
    const std::string tag = html.substr(at, html.find('>', at) - at);
    if (tag.find(" src=") == std::string::npos) {
      return true;
    }
  }
  if (html.find("<style") != std::string::npos || html.find(" style=") != std::string::npos) {
    return true;
  }
  for (std::size_t at = html.find(" on"); at != std::string::npos; at = html.find(" on", at + 1)) {
    std::size_t end = at + 3;
    while (end < html.size() && std::isalpha(static_cast<unsigned char>(html[end]))) {
      ++end;
    }
    if (end > at + 3 && end < html.size() && html[end] == '=') {
      return true;
    }
  }
  return false;
}

TEST(SecurityHeadersTest, InlineCodeIsFound) {
  const struct {
    const char* html;
    bool inlineCode;
  } cases[] = {
      {"<script src=\"/a.js\"></script>", false},
      {"<SCRIPT>x</SCRIPT>", true},
      {"<script src=\"/a.js\"></script><script type=\"module\">", true},
      {"<p style=\"color:red\">", true},
      {"<style>p{}</style>", true},
      {"<img src=x onerror=\"f()\">", true},
      {"<p>turn on = off</p>", false},
      {"&lt;script&gt;", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(HasInlineCode(c.html), c.inlineCode) << c.html;
  }
}

TEST(SecurityHeadersTest, EveryAnswerOfBothPortsCarriesThemAndPagesHaveNothingInline) {
  ServerOptions o = RunningServer::TestOptions();
  const std::string certs = CertDirFor("ports");
  o.httpsPort = 0;
  o.certFile = certs + "/cert.pem";
  o.keyFile = certs + "/key.pem";
  RunningServer s(o);
  httplib::SSLClient https("127.0.0.1", s.Server().HttpsPort());
  https.enable_server_certificate_verification(false);
  const struct {
    bool secure;
    const char* method;
    std::string path;
  } cases[] = {
      {false, "GET", "/home"},
      {false, "GET", "/download"},
      {false, "GET", kHelpArticlePath},
      {false, "GET", "/detail/none.html"},
      {false, "GET", kToolStylePath},
      {false, "GET", kFeedbackScriptPath},
      {false, "GET", "/reportDetail/1"},
      {false, "GET", "/no/such/page"},
      {false, "POST", "/Home/tool/version"},
      {true, "GET", "/reportDetail/1"},
      {true, "GET", "/reportDetail/<script>"},
      {true, "GET", kReportStylePath},
      {true, "POST", "/report"},
      {true, "GET", "/home"},  // not served on the secure port: its 404 carries them too
  };
  for (const auto& c : cases) {
    httplib::Client http("127.0.0.1", s.Server().HttpPort());
    httplib::Result res = std::string(c.method) == "GET"
                              ? (c.secure ? https.Get(c.path) : http.Get(c.path))
                              : (c.secure ? https.Post(c.path, "{}", "application/json")
                                          : http.Post(c.path, "{}", "application/json"));
    ASSERT_TRUE(res) << c.path;
    const std::string csp = res->get_header_value("Content-Security-Policy");
    for (const char* part : {"default-src 'none'", "script-src 'self'", "style-src 'self'",
                             "frame-ancestors 'none'", "base-uri 'none'"}) {
      EXPECT_NE(csp.find(part), std::string::npos) << c.path << ": " << csp;
    }
    EXPECT_EQ(csp.find("unsafe"), std::string::npos) << c.path;
    EXPECT_EQ(res->get_header_value("X-Content-Type-Options"), "nosniff") << c.path;
    EXPECT_EQ(res->get_header_value("Referrer-Policy"), "no-referrer") << c.path;
    EXPECT_EQ(res->has_header("Strict-Transport-Security"), c.secure) << c.path;
    if (res->get_header_value("Content-Type").rfind("text/html", 0) == 0) {
      EXPECT_FALSE(HasInlineCode(res->body)) << c.path;
    }
  }
}

}  // namespace
}  // namespace kestrel::server::test
