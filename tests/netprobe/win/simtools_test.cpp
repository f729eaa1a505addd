// simtools as the product meets it: run through the real command runner ("cmd /C ..."), found
// first on the search path (WINEPATH), answering from a machine profile.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "core/win32_services.h"
#include "profile.h"
#include "support/testdata.h"

namespace kestrel::test {
namespace {

class SimtoolsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t folder[MAX_PATH];
    wchar_t file[MAX_PATH];
    ASSERT_NE(GetTempPathW(MAX_PATH, folder), 0u);
    ASSERT_NE(GetTempFileNameW(folder, L"sim", 0, file), 0u);  // creates it empty
    log_ = file;
    SetEnvironmentVariableW(L"KESTREL_SIMLOG", log_.c_str());
  }

  void TearDown() override {
    SetEnvironmentVariableW(L"KESTREL_SIMLOG", nullptr);
    SetEnvironmentVariableW(L"KESTREL_PROFILE", nullptr);
    DeleteFileW(log_.c_str());
  }

  static void UseProfile(const std::string& name) {
    SetEnvironmentVariableW(L"KESTREL_PROFILE",
                            simtools::Utf8ToWide(TestdataPath("profiles/" + name)).c_str());
  }

  static std::string Run(const std::wstring& command) {
    std::string output;
    EXPECT_EQ(netprobe::win32::RunCommand(command, output), 1) << "cmd did not start";
    return output;
  }

  std::string Log() const {
    std::string log;
    EXPECT_TRUE(simtools::ReadFileBytes(simtools::WideToUtf8(log_), &log));
    return log;
  }

  std::wstring log_;
};

TEST_F(SimtoolsTest, RecordedBytesArriveUnchangedAndTheCallIsLogged) {
  UseProfile("connected-zh");
  // GBK text with CR LF, then wmic's CR CR LF: binary mode on both ends keeps every byte.
  EXPECT_EQ(Run(L"ping www.baidu.com"), ReadFixture("outputs/ping/zh-reply-www.baidu.com.txt"));
  EXPECT_EQ(Run(L"WMIC CPU Get Name"), ReadFixture("profiles/connected-zh/wmic-cpu-name.txt"));
  EXPECT_EQ(Log(), "ping www.baidu.com\nwmic CPU Get Name\n");
}

TEST_F(SimtoolsTest, SuccessiveRunsFollowTheProfileSequence) {
  UseProfile("flaky-en");
  const std::string timeout = ReadFixture("outputs/ping/en-timeout-www.baidu.com.txt");
  const std::string reply = ReadFixture("outputs/ping/en-reply-www.baidu.com.txt");
  EXPECT_EQ(Run(L"ping www.baidu.com"), timeout);
  EXPECT_EQ(Run(L"ping www.sina.com.cn"),
            ReadFixture("outputs/ping/en-timeout-www.sina.com.cn.txt"));
  EXPECT_EQ(Run(L"ping www.baidu.com"), reply);
  EXPECT_EQ(Run(L"ping www.baidu.com"), reply);
}

TEST_F(SimtoolsTest, UnknownCommandNamesItselfAndIsLogged) {
  UseProfile("connected-zh");
  // Only standard error reaches the captured text, and it names the tool and the command.
  const std::string output = Run(L"ping   www.example.invalid ");
  EXPECT_NE(output.find("ping.exe"), std::string::npos) << output;
  EXPECT_NE(output.find("\"ping www.example.invalid\""), std::string::npos) << output;
  EXPECT_EQ(output.find("Reply"), std::string::npos) << output;
  EXPECT_EQ(Log(), "? ping www.example.invalid\n");
}

TEST_F(SimtoolsTest, MissingProfileIsRefused) {
  UseProfile("no-such-machine");
  const std::string output = Run(L"ping www.baidu.com");
  EXPECT_NE(output.find("ping.exe"), std::string::npos) << output;
  EXPECT_NE(output.find("no-such-machine/commands.txt"), std::string::npos) << output;
  EXPECT_EQ(Log(), "? ping www.baidu.com\n");
}

}  // namespace
}  // namespace kestrel::test
