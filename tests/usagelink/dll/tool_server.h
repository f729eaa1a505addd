// Our server's test modes and stored statistics as the Wine tests of UsageLink use them.
#pragma once

#include <gtest/gtest.h>
#include <json/json.h>

#include <initializer_list>
#include <string>
#include <utility>

#include "opened_pages.h"
#include "support/server_http.h"

namespace usagelink::test {

using kestrel::test::ServerAddress;

// "key=value&..." with the value percent-encoded.
std::string Query(std::initializer_list<std::pair<const char*, std::string>> settings);

// POST /_test/set?<query>; true when the server took every setting.
bool SetModes(const std::string& query);
bool ResetModes();

// The statistic the server stored last, as its read-back route shows it; a null value when
// there is none or the answer is no JSON object.
Json::Value LastStatistic();

// The tests of what the server answers and what the shell opens: the server's modes reset
// around each, the record of opened pages empty at its start.
class ToolServerTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(ResetModes()) << "no server at " << ServerAddress();
    ASSERT_TRUE(opened_.usable()) << "KESTREL_OPENED_LOG is not set";
  }
  void TearDown() override { ResetModes(); }

  OpenedPages opened_;
};

}  // namespace usagelink::test
