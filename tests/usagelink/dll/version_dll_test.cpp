// The version check and the usage statistic of the real UsageLink.dll against our server: each
// of the server's version answers and the address the library keeps from it (seen through what
// the download page opens), and the statistic's members as the server stored them.
#include <windows.h>

#include <gtest/gtest.h>
#include <json/json.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "UsageLink.h"
#include "tool_server.h"

namespace usagelink::test {
namespace {

const VersionRequest kOurs{"10090", "2.1.20.928"};

class VersionTest : public ToolServerTest {
 protected:
  // Opens the kept download address and returns what reached the browser since the last call.
  std::string OpenKeptAddress() {
    EXPECT_TRUE(DataCollection_OpenToolDownUrl());
    const std::vector<std::string> lines = opened_.WaitFor(++openedCount_);
    return lines.size() == openedCount_ ? lines.back() : "(nothing opened)";
  }

  std::size_t openedCount_ = 0;
};

// One version check after switching the server's modes; the result, then the kept address.
struct VersionStep {
  const char* name;
  const char* mode;     // version.mode
  const char* current;  // version.current: the server's newest version
  const char* url;      // version.url: "" for the server's own download page
  int result;
  const char* kept;  // the address opened afterwards; "" for the server's download page
};

TEST_F(VersionTest, VersionAnswersAndTheKeptDownloadAddress) {
  const std::string page = ServerAddress() + "/download";
  const std::string later = ServerAddress() + "/download?v=2.1.21.0&from=kestrel";
  // In order: each step's kept address is what the steps before it left.
  const VersionStep steps[] = {
      {"newer version, the server's page", "normal", "2.1.21.0", "", 202, ""},
      {"current version", "normal", "2.1.20.928", later.c_str(), 200, ""},
      {"caller newer than the server", "normal", "2.1.19.5", later.c_str(), 200, ""},
      {"answer is no JSON", "notjson", "2.1.21.0", later.c_str(), 0, ""},
      {"code as a fraction", "fraction", "2.1.21.0", later.c_str(), 0, ""},
      {"code as a text", "text", "2.1.21.0", later.c_str(), 0, ""},
      // The server holds the answer far longer than the library waits for a byte: a failed
      // transfer, not the 202 the server would send in the end.
      {"stalled answer", "stall", "2.1.21.0", later.c_str(), 0, ""},
      {"newer version, a set address", "normal", "2.1.21.0", later.c_str(), 202, later.c_str()},
  };
  for (const VersionStep& step : steps) {
    SCOPED_TRACE(step.name);
    ASSERT_TRUE(SetModes(Query({{"version.mode", step.mode},
                                {"version.current", step.current},
                                {"version.url", step.url}})));
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(DataCollection_VersionGet(&kOurs), step.result);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (std::string(step.mode) == "stall") {
      // Ten seconds without a byte either way end the request (the progress function runs
      // about once a second); the server would hold it for a minute.
      std::printf("a stalled version answer was given up after %.1f s\n", seconds);
      EXPECT_GE(seconds, 9.5);
      EXPECT_LT(seconds, 14.0);
    }
    EXPECT_EQ(OpenKeptAddress(), *step.kept != '\0' ? step.kept : page);
  }
}

TEST_F(VersionTest, MalformedRequestsAreRefusedWithTheServersCode) {
  const VersionRequest noVersion{"10090", "not-a-version"};
  EXPECT_EQ(DataCollection_VersionGet(&noVersion), 400);
  EXPECT_EQ(DataCollection_VersionGet(nullptr), 0);
}

// The record's texts in the ANSI code page, and the UTF-8 the server must have stored.
struct StatisticCase {
  const char* name;
  StatisticsRecord record;
  std::vector<std::string> stored;  // id, versions, status, datetime, PcModel, Manufacture, Serial
};

std::vector<StatisticCase> StatisticCases() {
  std::vector<StatisticCase> cases = {
      {"all empty", {}, {"", "", "", "", "", "", ""}},
      {"plain text",
       {"10090", "2026-12-08 20:30:00", "2.1.20.928", "1", "QiXing M720t-N000", "TARVOS",
        "PC1K7Q2M"},
       {"10090", "2.1.20.928", "1", "2026-12-08 20:30:00", "QiXing M720t-N000", "TARVOS",
        "PC1K7Q2M"}},
  };
  if (GetACP() == 936) {
    // 退出, 启天 M720t, 联想 in GBK.
    cases.push_back({"Chinese",
                     {"10090", "2026-12-08 20:31:00", "2.1.20.928", "\xcd\xcb\xb3\xf6",
                      "\xc6\xf4\xcc\xec M720t", "\xc1\xaa\xcf\xeb", "PC\"1\\"},
                     {"10090", "2.1.20.928", "\xe9\x80\x80\xe5\x87\xba", "2026-12-08 20:31:00",
                      "\xe5\x90\xaf\xe5\xa4\xa9 M720t", "\xe8\x81\x94\xe6\x83\xb3", "PC\"1\\"}});
  } else {
    // Café, Médiathèque, Ñandú in code page 1252.
    cases.push_back({"Western",
                     {"10090", "2026-12-08 20:31:00", "2.1.20.928", "Caf\xe9",
                      "M\xe9"
                      "diath\xe8que",
                      "\xd1"
                      "and\xfa",
                      "PC\"1\\"},
                     {"10090", "2.1.20.928", "Caf\xc3\xa9", "2026-12-08 20:31:00",
                      "M\xc3\xa9"
                      "diath\xc3\xa8que",
                      "\xc3\x91"
                      "and\xc3\xba",
                      "PC\"1\\"}});
  }
  return cases;
}

TEST_F(ToolServerTest, TheStatisticsSevenMembersAreStoredAsUtf8) {
  const char* members[] = {"id",      "versions",    "status",      "datetime",
                           "PcModel", "Manufacture", "SerialNumber"};
  for (const StatisticCase& c : StatisticCases()) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(DataCollection_OperationResponse(&c.record));
    const Json::Value stored = LastStatistic();
    ASSERT_TRUE(stored.isObject());
    EXPECT_TRUE(stored["validUtf8"].asBool());
    EXPECT_EQ(stored["members"].size(), 7u);
    for (std::size_t i = 0; i < 7; ++i) {
      EXPECT_TRUE(stored["members"][members[i]].isString()) << members[i];
      EXPECT_EQ(stored["members"][members[i]].asString(), c.stored[i]) << members[i];
    }
    const std::string body = stored["body"].asString();
    EXPECT_GE(std::count(body.begin(), body.end(), '\n'), 8) << body;  // a member a line
  }
  EXPECT_FALSE(DataCollection_OperationResponse(nullptr));
}

}  // namespace
}  // namespace usagelink::test
