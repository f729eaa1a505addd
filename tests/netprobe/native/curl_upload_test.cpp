// The libcurl upload against a loopback stand-in: what goes on the wire (method, the one custom
// header, the body), and that a silent, dropping or endless server ends the transfer as a failure.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "network/report/curl_upload.h"
#include "network/report/post_json.h"
#include "support/loopback_http.h"

namespace kestrel::test {
namespace {

using Behaviour = LoopbackHttp::Behaviour;
using netprobe::HttpUploadStatus;

netprobe::HttpUploadRequest Request(const std::string& url, bool post) {
  netprobe::HttpUploadRequest request;
  request.url = url;
  request.post = post;
  request.body = "{\"number\":\"\xE6\x8A\xA5\",\"optimize\":1}";
  request.headers = {netprobe::kJsonContentType};
  return request;
}

// The request's header lines that a client chooses (not those libcurl always sends).
std::size_t CustomHeaders(const std::string& request) {
  std::size_t count = 0;
  for (std::size_t at = request.find("\r\n"); at != std::string::npos;
       at = request.find("\r\n", at + 2)) {
    const std::string line = request.substr(at + 2, request.find("\r\n", at + 2) - at - 2);
    if (line.empty()) {
      break;
    }
    const std::string name = line.substr(0, line.find(':'));
    if (name != "Host" && name != "Accept" && name != "Content-Length") {
      ++count;
    }
  }
  return count;
}

TEST(CurlUploadTest, PostAndPutCarryTheBodyAndExactlyOneCustomHeader) {
  const std::string json = R"({"code":200,"message":"ok","data":"12"})";
  const std::string answer =
      "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(json.size()) + "\r\n\r\n" + json;
  for (const bool post : {true, false}) {
    LoopbackHttp server(Behaviour::kAnswer, answer);
    const netprobe::HttpUploadRequest request = Request(server.url(), post);
    std::string received;
    ASSERT_EQ(netprobe::CurlUpload().Send(request, received), HttpUploadStatus::kDone);
    // The status line and headers come first, as the answer reader expects.
    EXPECT_EQ(received, answer);
    const std::string sent = server.request();
    EXPECT_EQ(sent.rfind(post ? "POST /report HTTP/1.1\r\n" : "PUT /report HTTP/1.1\r\n", 0), 0u)
        << sent;
    EXPECT_NE(sent.find("\r\nContent-Type:application/json;charset=UTF-8\r\n"), std::string::npos);
    EXPECT_EQ(CustomHeaders(sent), 1u) << sent;
    EXPECT_EQ(sent.substr(sent.size() - request.body.size()), request.body);
  }
}

TEST(CurlUploadTest, FailingServersEndTheTransferWithinItsBounds) {
  struct Case {
    const char* what;
    Behaviour behaviour;
  };
  netprobe::UploadLimits limits;
  limits.stallSeconds = 1;
  for (const Case& c : {Case{"silent", Behaviour::kStall}, Case{"drops", Behaviour::kDrop},
                        Case{"endless", Behaviour::kEndless}}) {
    LoopbackHttp server(c.behaviour);
    std::string answer = "old";
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(netprobe::CurlUpload(limits).Send(Request(server.url(), true), answer),
              HttpUploadStatus::kFailed)
        << c.what;
    // libcurl averages the rate over about five seconds: a silent server is left after 6-7 s.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(15)) << c.what;
    EXPECT_LE(answer.size(), netprobe::kLargestAnswer) << c.what;
    if (c.behaviour == Behaviour::kEndless) {
      server.request();
      EXPECT_GT(server.bytesSent(), netprobe::kLargestAnswer - 4096);
    }
  }
}

TEST(CurlUploadTest, AnAnswerOfExactlyTheLimitIsKept) {
  netprobe::UploadLimits limits;
  limits.largestAnswer = 4096;
  const std::string head = "HTTP/1.1 200 OK\r\nContent-Length: ";
  for (const std::size_t total : {std::size_t{4096}, std::size_t{4097}}) {
    std::string answer = head + "0000\r\n\r\n";
    const std::size_t body = total - answer.size();
    answer = head + std::to_string(body) + "\r\n\r\n" + std::string(body, ' ');
    ASSERT_EQ(answer.size(), total);
    LoopbackHttp server(Behaviour::kAnswer, answer);
    std::string received;
    EXPECT_EQ(netprobe::CurlUpload(limits).Send(Request(server.url(), true), received),
              total <= limits.largestAnswer ? HttpUploadStatus::kDone : HttpUploadStatus::kFailed)
        << total;
  }
}

// The product's own bounds for a server that hangs.
TEST(CurlUploadTest, TheProductWaitsAtMost25SecondsToConnectAnd30WithoutProgress) {
  const netprobe::UploadLimits limits;
  EXPECT_EQ(limits.connectSeconds, 25);
  EXPECT_EQ(limits.stallSeconds, 30);
  EXPECT_EQ(limits.largestAnswer, 1024u * 1024u);
}

}  // namespace
}  // namespace kestrel::test
