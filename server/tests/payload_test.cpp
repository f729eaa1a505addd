// The speed-test payload through a real listener: length, content, pacing and faults.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <future>

#include "payload.h"
#include "server_harness.h"

namespace kestrel::server::test {
namespace {

constexpr const char* kPath = "/tarvos/DriverFilesUploadFloder/35240/speedtest.bin";

double SecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

TEST(PayloadTest, HeadAnswersTheLengthAndGetSendsTheGeneratedBytes) {
  RunningServer s;
  auto head = s.Http().Head(kPath);
  ASSERT_TRUE(head);
  EXPECT_EQ(head->status, 200);
  EXPECT_EQ(head->get_header_value("Content-Length"), "1048576");
  EXPECT_TRUE(head->body.empty());

  auto get = s.Http().Get(kPath);
  ASSERT_TRUE(get);
  ASSERT_EQ(get->body.size(), 1048576u);
  for (std::size_t at = 0; at < get->body.size(); at += kPayloadMaxChunk) {
    ASSERT_EQ(
        std::memcmp(get->body.data() + at, PayloadBytesAt(at, kPayloadMaxChunk), kPayloadMaxChunk),
        0)
        << at;
  }
}

TEST(PayloadTest, OnlyTheSpeedTestFolderAndPlainFileNamesAreServed) {
  RunningServer s;
  for (const char* path : {"/tarvos/DriverFilesUploadFloder/35240/", "/tarvos/x.bin",
                           "/tarvos/DriverFilesUploadFloder/35240/../x",
                           "/tarvos/DriverFilesUploadFloder/35241/a.bin"}) {
    auto res = s.Http().Get(path);
    ASSERT_TRUE(res) << path;
    EXPECT_EQ(res->status, 404) << path;
  }
}

TEST(PayloadTest, RateHoldsForOneAndIsSharedByTwoConnections) {
  RunningServer s;
  ASSERT_EQ(s.Set("payload.rate=4000000&payload.bytes=1000000"), 200);
  auto start = std::chrono::steady_clock::now();
  auto one = s.Http().Get(kPath);
  const double alone = SecondsSince(start);
  ASSERT_TRUE(one);
  EXPECT_EQ(one->body.size(), 1000000u);
  EXPECT_NEAR(alone, 0.25, 0.06);

  // Two transfers at once share the bucket: together they take as long as 2 MB alone.
  start = std::chrono::steady_clock::now();
  auto fetch = [port = s.Server().HttpPort()] {
    httplib::Client c("127.0.0.1", port);
    auto res = c.Get(kPath);
    return res ? res->body.size() : 0u;
  };
  auto a = std::async(std::launch::async, fetch);
  auto b = std::async(std::launch::async, fetch);
  EXPECT_EQ(a.get() + b.get(), 2000000u);
  EXPECT_NEAR(SecondsSince(start), 0.5, 0.1);
}

TEST(PayloadTest, FaultsChangeOnlyTheBody) {
  struct Case {
    const char* fault;
    bool completes;
    std::size_t received;  // bytes the client holds at the end
    bool hasLength;
  };
  const Case cases[] = {
      {"none", true, 1048576, true},
      {"nolength", true, 1048576, false},
      {"drop", false, 524288, true},
      {"stall", false, 65536, true},
  };
  RunningServer s;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fault);
    ASSERT_EQ(s.Set(std::string("payload.fault=") + c.fault), 200);
    auto head = s.Http().Head(kPath);
    ASSERT_TRUE(head);
    EXPECT_EQ(head->has_header("Content-Length"), c.hasLength);

    std::size_t received = 0;
    bool lengthSeen = false;
    auto res = s.Http().Get(
        kPath,
        [&](const httplib::Response& r) {
          lengthSeen = r.has_header("Content-Length");
          return true;
        },
        [&](const char*, std::size_t n) {
          received += n;
          return true;
        });
    EXPECT_EQ(static_cast<bool>(res), c.completes) << httplib::to_string(res.error());
    EXPECT_EQ(received, c.received);
    EXPECT_EQ(lengthSeen, c.hasLength);
  }
  EXPECT_EQ(s.Http().Post("/_test/reset")->status, 200);
  auto res = s.Http().Get(kPath);
  ASSERT_TRUE(res);
  EXPECT_EQ(res->body.size(), 1048576u);
}

TEST(PayloadTest, StopEndsAStalledTransferAtOnce) {
  ServerOptions o = RunningServer::TestOptions();
  o.stallSeconds = 60;
  auto s = std::make_unique<RunningServer>(o);
  ASSERT_EQ(s->Set("payload.fault=stall"), 200);
  auto pending = std::async(std::launch::async, [port = s->Server().HttpPort()] {
    httplib::Client c("127.0.0.1", port);
    c.set_read_timeout(30, 0);
    return static_cast<bool>(c.Get(kPath));
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  const auto start = std::chrono::steady_clock::now();
  s.reset();
  EXPECT_LT(SecondsSince(start), 2.0);
  EXPECT_FALSE(pending.get());
}

TEST(TestControlTest, SettingsAreCheckedAndOffUnlessAskedFor) {
  RunningServer s;
  EXPECT_EQ(s.Set("payload.fault=sometimes"), 400);
  EXPECT_EQ(s.Set("payload.rate=-5"), 400);
  EXPECT_EQ(s.Set("no.such.key=1"), 400);
  EXPECT_EQ(s.Set("report.mode=endless&version.mode=fraction"), 200);

  ServerOptions o = RunningServer::TestOptions();
  o.testControl = false;
  RunningServer plain(o);
  EXPECT_EQ(plain.Set("payload.fault=drop"), 404);
  EXPECT_EQ(plain.Http().Post("/_test/reset")->status, 404);
}

}  // namespace
}  // namespace kestrel::server::test
