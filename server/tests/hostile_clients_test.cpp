// The server under misbehaving clients of our own, on loopback: while they idle, trickle or
// stall, a normal client's every answer comes at once and is right, the server's threads, open
// files and memory stay bounded, each misbehaving connection is closed by its deadline, and
// everything returns to idle afterwards.
#include <gtest/gtest.h>
#include <httplib.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "hostile_client.h"
#include "server_harness.h"

namespace kestrel::server::test {
namespace {

using namespace std::chrono;

// A test certificate made once per run in a scratch folder, as the server scripts make it.
const std::filesystem::path& CertDir() {
  static const std::filesystem::path dir = [] {
    const auto d =
        std::filesystem::temp_directory_path() / ("kestrel-hostile-" + std::to_string(getpid()));
    const std::string cmd =
        std::string(KESTREL_TESTDATA_DIR) + "/../scripts/server-ctl cert " + d.string();
    EXPECT_EQ(std::system(cmd.c_str()), 0);
    return d;
  }();
  return dir;
}

ServerOptions HostileOptions() {
  ServerOptions o = RunningServer::TestOptions();
  o.httpsPort = 0;
  o.certFile = (CertDir() / "cert.pem").string();
  o.keyFile = (CertDir() / "key.pem").string();
  o.limits.headerSeconds = 2;
  o.limits.idleSeconds = 2;
  o.limits.handshakeSeconds = 2;
  o.limits.maxPerAddress = 64;
  return o;
}

// Connections spread over four source addresses, so the per-address cap admits them all.
std::vector<int> Misbehavers(int port, int count) {
  std::vector<int> fds;
  for (int a = 1; a <= 4; ++a) {
    std::vector<int> some = Connect(port, "127.0.1." + std::to_string(a), count / 4);
    fds.insert(fds.end(), some.begin(), some.end());
  }
  return fds;
}

// One normal request on each port kind; true when the answer is complete and right.
bool NormalAnswer(RunningServer& s, bool secure) {
  if (secure) {
    httplib::SSLClient https("127.0.0.1", s.Server().HttpsPort());
    https.enable_server_certificate_verification(false);
    https.set_connection_timeout(1, 0);
    https.set_read_timeout(1, 0);
    auto res = https.Get("/reportDetail/1");
    return res && res->status == 404 && res->body.find("</html>") != std::string::npos &&
           res->has_header("Strict-Transport-Security");
  }
  httplib::Client http("127.0.0.1", s.Server().HttpPort());
  http.set_connection_timeout(1, 0);
  http.set_read_timeout(1, 0);
  auto res = http.Get("/download");
  return res && res->status == 200 && res->body.find("2.1.20.928") != std::string::npos;
}

// The first bytes of a TLS ClientHello record that promises 512 bytes and never sends them.
std::string HalfClientHello() {
  std::string hello = {'\x16', '\x03', '\x01', '\x02', '\x00', '\x01',
                       '\x00', '\x01', '\xfc', '\x03', '\x03'};
  hello += std::string(20, '\x42');
  return hello;
}

TEST(HostileClientsTest, NormalClientsAreAnsweredWhileOthersStallAndTheStallersAreClosed) {
  const struct {
    const char* name;
    bool secure;
    std::string opening;
    const char* drip;  // sent on every connection every 250 ms, or nothing
    int count;
  } cases[] = {
      {"idle connections", false, "", nullptr, 200},
      {"half a request line", false, "GET /downl", nullptr, 200},
      {"headers a byte at a time", false, "GET /download HTTP/1.1\r\nHost: x\r\nX-Slow: ", "a",
       100},
      {"a body that never ends", false,
       "POST /report HTTP/1.1\r\nHost: x\r\nContent-Type: application/json\r\n"
       "Content-Length: 1000000\r\n\r\n{",
       " ", 100},
      {"a long head that never ends", false, "GET /download HTTP/1.1\r\n" + std::string(8000, 'x'),
       nullptr, 100},
      {"TLS handshakes never started", true, "", nullptr, 100},
      {"TLS handshakes stopped half way", true, HalfClientHello(), nullptr, 100},
      {"plain HTTP sent to the TLS port a byte at a time", true, "GET / HT", "T", 100},
  };
  RunningServer s(HostileOptions());
  ASSERT_TRUE(NormalAnswer(s, false));
  ASSERT_TRUE(NormalAnswer(s, true));
  const ProcessUsage idle = Usage();
  for (const auto& c : cases) {
    const int port = c.secure ? s.Server().HttpsPort() : s.Server().HttpPort();
    std::vector<int> fds = Misbehavers(port, c.count);
    ASSERT_EQ(static_cast<int>(fds.size()), c.count) << c.name;
    for (int fd : fds) {
      SendAll(fd, c.opening);
    }
    // Within the misbehavers' deadline (2 s): every normal answer arrives within its 1 s bound.
    ProcessUsage most = Usage();
    int answered = 0;
    for (int round = 0; round < 6; ++round) {
      answered += NormalAnswer(s, c.secure) ? 1 : 0;
      if (c.drip) {
        for (int fd : fds) {
          SendAll(fd, c.drip);
        }
      }
      const ProcessUsage now = Usage();
      most.threads = std::max(most.threads, now.threads);
      most.openFiles = std::max(most.openFiles, now.openFiles);
      most.residentKb = std::max(most.residentKb, now.residentKb);
      std::this_thread::sleep_for(milliseconds(200));
    }
    EXPECT_EQ(answered, 6) << c.name;
    // No thread is spent on a waiting connection: a normal client's thread at most.
    EXPECT_LE(most.threads, idle.threads + 2) << c.name;
    // Our end and the server's end of each, and a few for the normal client.
    EXPECT_LE(most.openFiles, idle.openFiles + 2 * c.count + 8) << c.name;
    EXPECT_LE(most.residentKb, idle.residentKb + 64 * 1024) << c.name;
    // Every misbehaver is closed by its deadline (2 s from connecting, and the sweep's tick).
    int closed = 0;
    for (int fd : fds) {
      closed += ClosedByServer(fd, milliseconds(3000)) ? 1 : 0;
    }
    EXPECT_EQ(closed, c.count) << c.name;
    CloseAll(fds);
    for (int i = 0; i < 50 && s.Server().OpenConnections() > 0; ++i) {
      std::this_thread::sleep_for(milliseconds(20));
    }
    EXPECT_EQ(s.Server().OpenConnections(), 0u) << c.name;
    EXPECT_LE(Usage().openFiles, idle.openFiles + 2) << c.name;
    EXPECT_TRUE(NormalAnswer(s, c.secure)) << c.name;
  }
  EXPECT_EQ(Usage().threads, idle.threads);
}

TEST(HostileClientsTest, OneAddressGetsNoMoreThanItsShareAndOthersAreServed) {
  RunningServer s(HostileOptions());  // 64 connections per address
  const int port = s.Server().HttpPort();
  std::vector<int> flood = Connect(port, "127.0.2.1", 100);
  ASSERT_EQ(flood.size(), 100u);
  // The first 64 are held until their deadline, the other 36 closed at once.
  int closedAtOnce = 0;
  for (std::size_t i = 64; i < flood.size(); ++i) {
    closedAtOnce += ClosedByServer(flood[i], milliseconds(1000)) ? 1 : 0;
  }
  EXPECT_EQ(closedAtOnce, 36);
  for (std::size_t i = 0; i < 64; ++i) {
    EXPECT_FALSE(ClosedByServer(flood[i], milliseconds(0))) << i;
  }
  std::string body;
  EXPECT_EQ(PlainGet(port, "127.0.2.2", "/download", body, milliseconds(1000)), 200);
  EXPECT_NE(body.find("2.1.20.928"), std::string::npos);
  EXPECT_TRUE(NormalAnswer(s, false));
  CloseAll(flood);
  // Its connections gone, the address is served again.
  for (int i = 0; i < 50 && s.Server().OpenConnections() > 0; ++i) {
    std::this_thread::sleep_for(milliseconds(20));
  }
  EXPECT_EQ(PlainGet(port, "127.0.2.1", "/download", body, milliseconds(1000)), 200);
}

TEST(HostileClientsTest, ARequestOnARawConnectionIsFramedExactly) {
  const struct {
    const char* name;
    std::string sent;
    std::vector<std::string> answers;  // the status lines and informational lines, in order
    std::string afterContinue = "";    // sent once the go-ahead came
  } cases[] = {
      {"two pipelined requests",
       "GET /download HTTP/1.1\r\nHost: x\r\n\r\nGET /nothing HTTP/1.1\r\nHost: x\r\n"
       "Connection: close\r\n\r\n",
       {"HTTP/1.1 200 OK", "HTTP/1.1 404 Not Found"}},
      {"a body that waits for its go-ahead",
       "POST /home/suggest HTTP/1.1\r\nHost: x\r\nExpect: 100-continue\r\n"
       "Content-Type: application/json\r\nContent-Length: 2\r\nConnection: close\r\n\r\n",
       {"HTTP/1.1 100 Continue", "HTTP/1.1 400 Bad Request"},
       "{}"},
      {"a body sent at once though it asked for a go-ahead",
       "POST /home/suggest HTTP/1.1\r\nHost: x\r\nExpect: 100-continue\r\n"
       "Content-Type: application/json\r\nContent-Length: 2\r\nConnection: close\r\n\r\n{}",
       {"HTTP/1.1 400 Bad Request"}},
      {"a chunked body",
       "POST /report HTTP/1.1\r\nHost: x\r\nTransfer-Encoding: chunked\r\n\r\n",
       {"HTTP/1.1 411 Length Required"}},
      {"two lengths",
       "POST /report HTTP/1.1\r\nHost: x\r\nContent-Length: 2\r\nContent-Length: 3\r\n\r\n",
       {"HTTP/1.1 400 Bad Request"}},
      {"a head past the limit",
       "GET /" + std::string(20000, 'a') + " HTTP/1.1\r\n\r\n",
       {"HTTP/1.1 431 Request Header Fields Too Large"}},
      {"a body past the limit, never sent",
       "POST /report HTTP/1.1\r\nHost: x\r\nContent-Length: 99999999\r\n\r\n",
       {"HTTP/1.1 413 Payload Too Large"}},
  };
  RunningServer s;
  for (const auto& c : cases) {
    std::vector<int> fd = Connect(s.Server().HttpPort(), "127.0.0.1", 1);
    ASSERT_EQ(fd.size(), 1u);
    ASSERT_TRUE(SendAll(fd[0], c.sent)) << c.name;
    std::string all;
    char buf[8192];
    for (;;) {
      pollfd p{fd[0], POLLIN, 0};
      if (poll(&p, 1, 3000) <= 0) {
        break;
      }
      const ssize_t n = recv(fd[0], buf, sizeof buf, 0);
      if (n <= 0) {
        break;
      }
      all.append(buf, static_cast<std::size_t>(n));
      if (!c.afterContinue.empty() && all == "HTTP/1.1 100 Continue\r\n\r\n") {
        ASSERT_TRUE(SendAll(fd[0], c.afterContinue)) << c.name;
      }
    }
    CloseAll(fd);
    std::size_t at = 0;
    for (const std::string& line : c.answers) {
      const std::size_t found = all.find(line, at);
      ASSERT_NE(found, std::string::npos) << c.name << ": " << line << " in\n"
                                          << all.substr(0, 300);
      at = found + line.size();
    }
    // Nothing else answers: no second go-ahead, no answer to a byte of a body.
    std::size_t statusLines = 0;
    for (std::size_t p = all.find("HTTP/1.1 "); p != std::string::npos;
         p = all.find("HTTP/1.1 ", p + 1)) {
      ++statusLines;
    }
    EXPECT_EQ(statusLines, c.answers.size()) << c.name;
  }
}

}  // namespace
}  // namespace kestrel::server::test
