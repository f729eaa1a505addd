// A small client of chromedriver's WebDriver HTTP API: starts chromedriver on a free loopback
// port, opens one headless Chromium session and finds, reads, types into and clicks elements.
// Also where the browser tests find the fixture's server.
#pragma once

#include <httplib.h>
#include <json/value.h>
#include <sys/types.h>

#include <chrono>
#include <memory>
#include <string>

namespace kestrel::server::test {

// The fixture's server on this build's ports (KESTREL_SERVER_HTTP_PORT, _HTTPS_PORT), plain
// and TLS with the test certificate (which the browser accepts on the loopback).
std::string ServerAddress();
std::string SecureServerAddress();

class WebDriver {
 public:
  WebDriver() = default;
  ~WebDriver();
  WebDriver(const WebDriver&) = delete;
  WebDriver& operator=(const WebDriver&) = delete;

  // Starts chromedriver and a session; false with a message when either fails.
  bool Start(std::string& error);

  bool Open(const std::string& url);
  // The size of the window, which headless Chromium also gives the page's viewport.
  bool SetWindowSize(int width, int height);
  // The element's reference, or "" when no element matches the CSS selector.
  std::string Find(const std::string& css);
  // The text a user sees ("" for a hidden element) and whether the element is shown.
  std::string Text(const std::string& element);
  bool Displayed(const std::string& element);
  bool Type(const std::string& element, const std::string& text);
  bool Click(const std::string& element);
  // Polls until the element `css` is shown; false when `limit` passes first.
  bool WaitDisplayed(const std::string& css, std::chrono::milliseconds limit);
  // Runs a script in the page and returns its result.
  Json::Value Script(const std::string& body);
  // The page's cookies as WebDriver gives them (HttpOnly ones too, with their flags); a cookie
  // of the page's site set or every one deleted.
  Json::Value Cookies();
  bool AddCookie(const std::string& name, const std::string& value, const std::string& path);
  bool DeleteCookies();
  std::string Url();

 private:
  // One command of the session; false when it failed. `value` receives the answer's "value".
  bool Call(const std::string& method, const std::string& path,
            const Json::Value& body = Json::Value(Json::objectValue), Json::Value* value = nullptr);
  // The "value" of a command that must answer one; null when it failed.
  Json::Value Value(const std::string& method, const std::string& path,
                    const Json::Value& body = Json::Value(Json::objectValue));

  pid_t driver_ = -1;
  std::string profileDir_;
  std::unique_ptr<httplib::Client> http_;
  std::string session_;
};

}  // namespace kestrel::server::test
