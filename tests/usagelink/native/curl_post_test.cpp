// The version and statistics request over libcurl against a loopback stand-in: a server that
// takes the request and then sends nothing is left after the stall limit, not libcurl's
// five-second rate window later.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>

#include "core/curl_post.h"
#include "support/loopback_http.h"

namespace usagelink {
namespace {

using kestrel::test::LoopbackHttp;

TEST(CurlPostTest, AServerThatAnswersIsRead) {
  const std::string answer = "HTTP/1.1 200 OK\r\nContent-Length: 12\r\n\r\n{\"code\":200}";
  LoopbackHttp server(LoopbackHttp::Behaviour::kAnswer, answer);
  const auto buffer = std::make_unique<ResponseBuffer>();  // 1 MiB: not on the stack
  ASSERT_TRUE(CurlPost().Post(server.url(), "{}", *buffer));
  EXPECT_EQ(buffer->Text(), answer);
}

TEST(CurlPostTest, AStalledServerIsLeftAfterTheStallLimit) {
  for (const auto behaviour : {LoopbackHttp::Behaviour::kStall, LoopbackHttp::Behaviour::kDrop}) {
    LoopbackHttp server(behaviour);
    const auto buffer = std::make_unique<ResponseBuffer>();
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(CurlPost().Post(server.url(), "{\"id\":\"10090\"}", *buffer));
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("server behaviour %d left after %.1f s\n", static_cast<int>(behaviour), seconds);
    if (behaviour == LoopbackHttp::Behaviour::kStall) {
      EXPECT_GE(seconds, kStallSeconds - 0.5);
      // The progress function runs about once a second; libcurl's rate check took 15 s or more.
      EXPECT_LT(seconds, kStallSeconds + 4.0);
    }
  }
}

}  // namespace
}  // namespace usagelink
