#include "web_driver.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <json/json.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <thread>
#include <vector>

extern char** environ;

namespace kestrel::server::test {
namespace {

constexpr const char* kElementKey = "element-6066-11e4-a52e-4f735466cecf";

// A port nobody listens on right now; chromedriver binds it a moment later.
int FreeLoopbackPort() {
  const int sock = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof addr;
  int port = -1;
  if (sock >= 0 && bind(sock, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0 &&
      getsockname(sock, reinterpret_cast<sockaddr*>(&addr), &size) == 0) {
    port = ntohs(addr.sin_port);
  }
  if (sock >= 0) {
    close(sock);
  }
  return port;
}

std::string Env(const char* name, const char* fallback) {
  const char* value = std::getenv(name);
  return value && *value ? value : fallback;
}

Json::Value Parse(const std::string& text) {
  Json::Value v;
  Json::Reader().parse(text, v);
  return v;
}

std::string Write(const Json::Value& v) {
  Json::StreamWriterBuilder builder;
  builder["indentation"] = "";
  builder["emitUTF8"] = true;
  return Json::writeString(builder, v);
}

}  // namespace

std::string ServerAddress() {
  return "http://127.0.0.1:" + Env("KESTREL_SERVER_HTTP_PORT", "18080");
}

std::string SecureServerAddress() {
  return "https://127.0.0.1:" + Env("KESTREL_SERVER_HTTPS_PORT", "18443");
}

WebDriver::~WebDriver() {
  if (!session_.empty()) {
    Call("DELETE", "");
  }
  if (driver_ > 0) {
    kill(driver_, SIGTERM);
    waitpid(driver_, nullptr, 0);
  }
  if (!profileDir_.empty()) {
    std::error_code ignored;
    std::filesystem::remove_all(profileDir_, ignored);
  }
}

bool WebDriver::Start(std::string& error) {
  const int port = FreeLoopbackPort();
  const std::string driver = Env("KESTREL_CHROMEDRIVER", "chromedriver");
  std::vector<std::string> args = {driver, "--port=" + std::to_string(port), "--silent"};
  std::vector<char*> argv;
  for (auto& a : args) {
    argv.push_back(a.data());
  }
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  const int spawned =
      posix_spawnp(&driver_, driver.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (port <= 0 || spawned != 0) {
    driver_ = -1;
    error = "cannot start " + driver + " (scripts/bootstrap installs chromium-driver)";
    return false;
  }

  http_ = std::make_unique<httplib::Client>("127.0.0.1", port);
  http_->set_read_timeout(30, 0);
  bool ready = false;
  for (int i = 0; i < 100 && !ready; ++i) {
    auto res = http_->Get("/status");
    ready = res && Parse(res->body)["value"]["ready"].asBool();
    if (!ready) {
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
  }
  if (!ready) {
    error = driver + " did not answer on port " + std::to_string(port);
    return false;
  }

  char dir[] = "/tmp/kestrel-browser-XXXXXX";
  if (!mkdtemp(dir)) {
    error = "cannot make a browser profile folder";
    return false;
  }
  profileDir_ = dir;
  Json::Value chrome(Json::objectValue);
  chrome["binary"] = Env("KESTREL_CHROMIUM", "/usr/bin/chromium");
  // Headless, a throw-away profile, and no way off the machine: every request that is not to
  // the loopback goes to a proxy that does not exist and every name but 127.0.0.1 fails, so
  // the test certificate can be taken without checks.
  for (const char* arg :
       {"--headless=new", "--no-sandbox", "--disable-gpu", "--disable-dev-shm-usage",
        "--no-first-run", "--disable-sync", "--disable-background-networking",
        "--disable-component-update", "--disable-default-apps", "--proxy-server=http://127.0.0.1:9",
        "--host-resolver-rules=MAP * ~NOTFOUND , EXCLUDE 127.0.0.1", "--window-size=1000,900",
        "--ignore-certificate-errors"}) {
    chrome["args"].append(arg);
  }
  chrome["args"].append("--user-data-dir=" + profileDir_);
  Json::Value caps(Json::objectValue);
  caps["capabilities"]["alwaysMatch"]["browserName"] = "chrome";
  caps["capabilities"]["alwaysMatch"]["goog:chromeOptions"] = chrome;
  auto res = http_->Post("/session", Write(caps), "application/json");
  const Json::Value answer = res ? Parse(res->body) : Json::Value();
  session_ = answer["value"]["sessionId"].asString();
  if (session_.empty()) {
    error = "no browser session: " + (res ? res->body.substr(0, 400) : std::string("no answer"));
    return false;
  }
  return true;
}

bool WebDriver::Call(const std::string& method, const std::string& path, const Json::Value& body,
                     Json::Value* value) {
  const std::string url = "/session/" + session_ + path;
  httplib::Result res = method == "GET" ? http_->Get(url.c_str())
                        : method == "DELETE"
                            ? http_->Delete(url.c_str())
                            : http_->Post(url.c_str(), Write(body), "application/json");
  if (!res || res->status != 200) {
    return false;
  }
  if (value) {
    *value = Parse(res->body)["value"];
  }
  return true;
}

Json::Value WebDriver::Value(const std::string& method, const std::string& path,
                             const Json::Value& body) {
  Json::Value value;
  Call(method, path, body, &value);
  return value;
}

bool WebDriver::Open(const std::string& url) {
  Json::Value body(Json::objectValue);
  body["url"] = url;
  return Call("POST", "/url", body);
}

bool WebDriver::SetWindowSize(int width, int height) {
  Json::Value body(Json::objectValue);
  body["width"] = width;
  body["height"] = height;
  return Call("POST", "/window/rect", body);
}

std::string WebDriver::Find(const std::string& css) {
  Json::Value body(Json::objectValue);
  body["using"] = "css selector";
  body["value"] = css;
  return Value("POST", "/element", body)[kElementKey].asString();
}

std::string WebDriver::Text(const std::string& element) {
  return Value("GET", "/element/" + element + "/text").asString();
}

bool WebDriver::Displayed(const std::string& element) {
  return Value("GET", "/element/" + element + "/displayed").asBool();
}

bool WebDriver::Type(const std::string& element, const std::string& text) {
  Json::Value body(Json::objectValue);
  body["text"] = text;
  return Call("POST", "/element/" + element + "/value", body);
}

bool WebDriver::Click(const std::string& element) {
  return Call("POST", "/element/" + element + "/click");
}

bool WebDriver::WaitDisplayed(const std::string& css, std::chrono::milliseconds limit) {
  const auto end = std::chrono::steady_clock::now() + limit;
  for (;;) {
    const std::string element = Find(css);
    if (!element.empty() && Displayed(element)) {
      return true;
    }
    if (std::chrono::steady_clock::now() >= end) {
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
}

Json::Value WebDriver::Cookies() {
  return Value("GET", "/cookie");
}

bool WebDriver::AddCookie(const std::string& name, const std::string& value,
                          const std::string& path) {
  Json::Value body(Json::objectValue);
  body["cookie"]["name"] = name;
  body["cookie"]["value"] = value;
  body["cookie"]["path"] = path;
  return Call("POST", "/cookie", body);
}

bool WebDriver::DeleteCookies() {
  return Call("DELETE", "/cookie");
}

std::string WebDriver::Url() {
  const Json::Value url = Value("GET", "/url");
  return url.isString() ? url.asString() : "";
}

Json::Value WebDriver::Script(const std::string& body) {
  Json::Value request(Json::objectValue);
  request["script"] = body;
  request["args"] = Json::Value(Json::arrayValue);
  return Value("POST", "/execute/sync", request);
}

}  // namespace kestrel::server::test
