#include "core/options.h"

#include "startup_text.h"

#include <gtest/gtest.h>

namespace kestrel::server {
namespace {

TEST(OptionsTest, DefaultsListenOnLoopbackWithoutTestControl) {
  const OptionsResult r = ParseOptions({});
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.options.host, "127.0.0.1");
  EXPECT_EQ(r.options.httpsPort, -1);
  EXPECT_FALSE(r.options.testControl);
  EXPECT_EQ(r.options.rate, 0);
}

TEST(OptionsTest, ValuesAreRead) {
  const OptionsResult r = ParseOptions({"--host",
                                        "127.0.0.2",
                                        "--http-port",
                                        "22080",
                                        "--https-port",
                                        "22443",
                                        "--cert",
                                        "c.pem",
                                        "--key",
                                        "k.pem",
                                        "--data",
                                        "/tmp/d",
                                        "--rate",
                                        "1000000",
                                        "--payload-bytes",
                                        "4096",
                                        "--test-control",
                                        "--ready-file",
                                        "/tmp/r",
                                        "--current-version",
                                        "2.1.21.1",
                                        "--download-url",
                                        "http://127.0.0.1/dl",
                                        "--stall-seconds",
                                        "3"});
  ASSERT_TRUE(r.ok) << r.error;
  const ServerOptions& o = r.options;
  EXPECT_EQ(o.host, "127.0.0.2");
  EXPECT_EQ(o.httpPort, 22080);
  EXPECT_EQ(o.httpsPort, 22443);
  EXPECT_EQ(o.certFile, "c.pem");
  EXPECT_EQ(o.keyFile, "k.pem");
  EXPECT_EQ(o.dataDir, "/tmp/d");
  EXPECT_EQ(o.rate, 1000000);
  EXPECT_EQ(o.payloadBytes, 4096);
  EXPECT_TRUE(o.testControl);
  EXPECT_EQ(o.readyFile, "/tmp/r");
  EXPECT_EQ(o.currentVersion, "2.1.21.1");
  EXPECT_EQ(o.downloadUrl, "http://127.0.0.1/dl");
  EXPECT_EQ(o.stallSeconds, 3);
}

TEST(OptionsTest, BadArgumentsAreRefused) {
  const std::vector<std::vector<std::string>> cases = {
      {"--http-port"},
      {"--http-port", "65536"},
      {"--http-port", "-1"},
      {"--http-port", "80x"},
      {"--rate", ""},
      {"--rate", "-3"},
      {"--payload-bytes", "0"},
      {"--https-port", "443"},
      {"--https-port", "443", "--cert", "c.pem"},
      {"--host", ""},
      {"--verbose"},
      {"stray"},
      {"--max-body-bytes", "999999999999"},
      {"--current-version", "2.1.20.928-beta"},
      {"--current-version", ""},
  };
  for (const auto& args : cases) {
    const OptionsResult r = ParseOptions(args);
    EXPECT_FALSE(r.ok) << args[0];
    EXPECT_FALSE(r.error.empty()) << args[0];
  }
}

TEST(OptionsTest, LimitsAreReadCheckedAndPrintedAtStart) {
  const OptionsResult r =
      ParseOptions({"--header-seconds", "3", "--idle-seconds", "7", "--handshake-seconds", "4",
                    "--write-seconds", "9", "--body-min-rate", "2048", "--max-connections", "500",
                    "--max-per-address", "20", "--backlog", "256", "--data", "/srv/k"});
  ASSERT_TRUE(r.ok) << r.error;
  const std::string text = StartupText(r.options, 18080, 18443);
  for (const char* part :
       {"listening on http://127.0.0.1:18080/ and https://127.0.0.1:18443/\n",
        "store /srv/k/kestrel.db\n", "headers within 3 s", "idle 7 s", "TLS handshake 4 s",
        "body at least 2048 B/s and at most 4194304 B", "answers stalled at most 9 s",
        "20 connections per address, 500 in all, backlog 256, 32 workers"}) {
    EXPECT_NE(text.find(part), std::string::npos) << part << " in\n" << text;
  }
  const std::string memory = StartupText(ParseOptions({}).options, 18080, -1);
  EXPECT_NE(memory.find("store in memory"), std::string::npos) << memory;
  EXPECT_EQ(memory.find("https"), std::string::npos) << memory;
  for (const char* name :
       {"--header-seconds", "--idle-seconds", "--handshake-seconds", "--write-seconds",
        "--body-min-rate", "--max-connections", "--max-per-address", "--backlog"}) {
    EXPECT_FALSE(ParseOptions({name, "0"}).ok) << name;
    EXPECT_FALSE(ParseOptions({name, "99999999999"}).ok) << name;
  }
}

}  // namespace
}  // namespace kestrel::server
