// Machine profiles: the commands.txt format, how command lines are matched, sequences of
// recordings, and the fake command runner the probe tests use.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "kestrel_endpoints.h"
#include "profile.h"
#include "support/profile_runner.h"
#include "support/testdata.h"

namespace kestrel::test {
namespace {

using simtools::Profile;

TEST(ProfileCommandTest, NormalisesToolNameAndTrimsArguments) {
  const struct {
    const char* commandLine;
    const char* normalised;
  } cases[] = {
      {"ping www.baidu.com", "ping www.baidu.com"},
      {"  PING.EXE   www.baidu.com  ", "ping www.baidu.com"},
      {"ping\twww.baidu.com", "ping www.baidu.com"},
      {"C:\\Windows\\System32\\PING.EXE www.baidu.com", "ping www.baidu.com"},
      {"c:/tools/Ping.Exe -n 1 host", "ping -n 1 host"},
      {"\"C:\\Program Files\\Tools\\wmic.exe\" cpu get Name", "wmic cpu get Name"},
      // Arguments stay exactly as written: case, inner blanks, quotes.
      {"WMIC CPU Get Name", "wmic CPU Get Name"},
      {"wmic cpu  list  full", "wmic cpu  list  full"},
      {"netsh interface ip set dns name=\"Ethernet 2\" static 223.5.5.5",
       "netsh interface ip set dns name=\"Ethernet 2\" static 223.5.5.5"},
      {"sc", "sc"},
      {"   ", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(simtools::NormaliseCommand(c.commandLine), c.normalised) << c.commandLine;
  }
}

TEST(ProfileCommandTest, SplitKeepsTheRawTailAfterTheProgramToken) {
  const struct {
    const char* commandLine;
    const char* program;
    const char* arguments;
  } cases[] = {
      {"ping www.baidu.com", "ping", " www.baidu.com"},
      {"\"Z:\\sim bin\\ping.exe\"  -n 1 \"a b\"", "Z:\\sim bin\\ping.exe", "  -n 1 \"a b\""},
      {"\"Z:\\simbin\\sc.exe\"start dot3svc", "Z:\\simbin\\sc.exe", "start dot3svc"},
      {"wmic", "wmic", ""},
      {"\"unclosed quote", "unclosed quote", ""},
  };
  for (const auto& c : cases) {
    std::string program;
    std::string arguments;
    simtools::SplitCommandLine(c.commandLine, &program, &arguments);
    EXPECT_EQ(program, c.program) << c.commandLine;
    EXPECT_EQ(arguments, c.arguments) << c.commandLine;
  }
}

TEST(ProfileCommandTest, WideTextRoundTripsThroughUtf8) {
  // "本地连接" (a Chinese adapter name) and a character outside the basic plane, which is a
  // surrogate pair in Windows' UTF-16.
  const std::wstring wide = L"netsh name=\u672C\u5730\u8FDE\u63A5 \U0001F600";
  const std::string utf8 =
      "netsh name=\xE6\x9C\xAC\xE5\x9C\xB0\xE8\xBF\x9E\xE6\x8E\xA5 \xF0\x9F\x98\x80";
  EXPECT_EQ(simtools::WideToUtf8(wide), utf8);
  EXPECT_EQ(simtools::Utf8ToWide(utf8), wide);
  // Broken input is replaced, not dropped or read past.
  EXPECT_EQ(simtools::Utf8ToWide("a\xFF"
                                 "b\xE6\x9C"),
            L"a\uFFFDb\uFFFD\uFFFD");
  EXPECT_EQ(simtools::Utf8ToWide("\xC0\xAF"), L"\uFFFD\uFFFD");  // overlong "/"
}

TEST(ProfileCommandTest, LogEntriesCountWholeLinesOnly) {
  const std::string log = "ping a\nping b\r\nping a\n? ping c\nping a";
  const struct {
    const char* entry;
    std::size_t count;
  } cases[] = {{"ping a", 3}, {"ping b", 1}, {"ping", 0}, {"ping c", 0}, {"? ping c", 1}};
  for (const auto& c : cases) {
    EXPECT_EQ(simtools::CountLogEntries(log, c.entry), c.count) << c.entry;
  }
  EXPECT_EQ(simtools::CountLogEntries("", "ping a"), 0u);
}

TEST(ProfileCommandTest, DelayListPicksTheFirstEntryThatBeginsTheCommand) {
  const std::string set = "netsh interface ip set dns name=\"以太网\" source=static addr=1.1.1.1";
  const struct {
    const char* delays;
    std::string command;
    unsigned long ms;
  } cases[] = {
      {"netsh interface ip set=3000", set, 3000},
      {"netsh interface ip set=3000", "netsh interface ip add dnsservers", 0},
      // The last "=" of an entry gives the delay: commands hold "=" themselves.
      {"netsh interface ip set dns name=\"以太网\" source=static=250", set, 250},
      {" ping = 40 ;netsh=7", "ping www.baidu.com", 40},
      {"wmic=1;wmic cpu=2", "wmic cpu list full", 1},
      {"bad;=5;ping=;ping=x5;ping=-1;ping=5", "ping a", 5},
      {"ping=99999999", "ping a", simtools::kMaxDelayMs},
      {"ping=1234567890", "ping a", 0},  // too long a number is a slip, not a wait
      {"", "ping a", 0},
      {";;;", "ping a", 0},
      {"ping a b=9", "ping a", 0},  // a longer prefix than the command
  };
  for (const auto& c : cases) {
    EXPECT_EQ(simtools::DelayFor(c.delays, c.command), c.ms) << c.delays << " / " << c.command;
  }
}

TEST(ProfileParseTest, ReadsCommandsAndSkipsCommentsAndBlankLines) {
  const std::string text =
      "\xEF\xBB\xBF# a machine\r\n"
      "\r\n"
      "   \n"
      "ping www.baidu.com => a.txt\r\n"
      "  # indented comment\n"
      "WMIC CPU Get Name   =>   cpu1.txt\tcpu2.txt  \n"
      "powershell \"$a => $b\" => ../../outputs/ps.txt";
  Profile profile;
  std::string error;
  ASSERT_TRUE(profile.Parse(text, "p/commands.txt", "p", &error)) << error;
  ASSERT_EQ(profile.entries().size(), 3u);
  EXPECT_EQ(profile.entries().at("ping www.baidu.com").line, 4);
  EXPECT_EQ(profile.entries().at("wmic CPU Get Name").files,
            (std::vector<std::string>{"cpu1.txt", "cpu2.txt"}));
  EXPECT_EQ(profile.RecordingPath("powershell \"$a => $b\"", 0), "p/../../outputs/ps.txt");
}

TEST(ProfileParseTest, MalformedLineNamesFileAndLine) {
  const struct {
    const char* text;
    const char* message;
  } cases[] = {
      {"# ok\nping www.baidu.com\n", "p/commands.txt:2: expected '<command line> => <file>"},
      {"ping x=>a.txt\n", "p/commands.txt:1: expected"},
      {"\n\n=> a.txt\n", "p/commands.txt:3: no command line before '=>'"},
      {"ping x =>   \n", "p/commands.txt:1: no recording after '=>'"},
      {"ping x => a.txt\nPING.EXE  x => b.txt\n",
       "p/commands.txt:2: \"ping x\" is already listed at line 1"},
  };
  for (const auto& c : cases) {
    Profile profile;
    std::string error;
    EXPECT_FALSE(profile.Parse(c.text, "p/commands.txt", "p", &error)) << c.text;
    EXPECT_EQ(error.rfind(c.message, 0), 0u) << error;
    EXPECT_TRUE(profile.entries().empty());
  }
}

TEST(ProfileParseTest, MatchesToolCaseButArgumentsExactly) {
  Profile profile;
  std::string error;
  ASSERT_TRUE(profile.Parse("WMIC CPU Get Name => cpu.txt\n", "c", "", &error)) << error;
  const struct {
    const char* command;
    bool known;
  } cases[] = {
      {"WMIC CPU Get Name", true},
      {"wmic CPU Get Name", true},
      {"C:\\Windows\\System32\\wbem\\WMIC.exe CPU Get Name ", true},
      {"wmic cpu get name", false},
      {"wmic CPU  Get Name", false},
      {"wmic CPU Get Name,Caption", false},
      {"wmicx CPU Get Name", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(profile.Knows(c.command), c.known) << c.command;
  }
  EXPECT_EQ(profile.RecordingPath("wmic cpu get name", 0), "");
}

TEST(ProfileParseTest, SuccessiveRunsGetSuccessiveFilesAndTheLastRepeats) {
  Profile profile;
  std::string error;
  ASSERT_TRUE(profile.Parse("ping h => one.txt two.txt three.txt\n", "c", "dir/", &error));
  const char* expected[] = {"dir/one.txt", "dir/two.txt", "dir/three.txt", "dir/three.txt"};
  for (std::size_t run = 0; run < 4; ++run) {
    EXPECT_EQ(profile.RecordingPath("ping h", run), expected[run]) << run;
  }
  EXPECT_EQ(profile.RecordingPath("ping h", 1000), "dir/three.txt");
}

TEST(ProfileParseTest, ARangeStandsForOneCommandPerNumber) {
  Profile profile;
  std::string error;
  ASSERT_TRUE(profile.Parse("ping 10.0.0.{0..255} -n 1 => t.txt\n", "c", "d/", &error)) << error;
  EXPECT_EQ(profile.entries().size(), 256u);
  for (const char* known : {"ping 10.0.0.0 -n 1", "ping 10.0.0.7 -n 1", "ping 10.0.0.255 -n 1"}) {
    EXPECT_EQ(profile.RecordingPath(known, 0), "d/t.txt") << known;
  }
  for (const char* unknown : {"ping 10.0.0.256 -n 1", "ping 10.0.0.{0..255} -n 1",
                              "ping 10.0.0.007 -n 1", "ping 10.0.0.1 -n 10"}) {
    EXPECT_FALSE(profile.Knows(unknown)) << unknown;
  }
  const std::vector<std::string> malformed = {
      "ping 10.0.0.{9..1} -n 1 => t.txt\n",
      "ping 10.0.0.{a..9} -n 1 => t.txt\n",
      "ping 10.0.0.{..9} -n 1 => t.txt\n",
      "ping 10.0.0.3 -n 1 => t.txt\nping 10.0.0.{0..3} -n 1 => t.txt\n",
  };
  for (const std::string& text : malformed) {
    EXPECT_FALSE(profile.Parse(text, "c", "d/", &error)) << text;
    EXPECT_TRUE(profile.entries().empty()) << text;
  }
}

TEST(ProfileLoadTest, MissingProfileOrRecordingIsReported) {
  Profile profile;
  std::string error;
  EXPECT_FALSE(profile.Load(TestdataPath("profiles/no-such-machine"), &error));
  EXPECT_NE(error.find("no-such-machine/commands.txt"), std::string::npos) << error;

  ASSERT_TRUE(profile.Parse("ping h => missing.txt\n", "c", TestdataPath("profiles"), &error));
  std::string bytes = "untouched";
  EXPECT_FALSE(profile.Recording("ping h", 0, &bytes, &error));
  EXPECT_NE(error.find("missing.txt"), std::string::npos) << error;
  EXPECT_FALSE(profile.Recording("ping other", 0, &bytes, &error));
  EXPECT_NE(error.find("no recording of \"ping other\""), std::string::npos) << error;
  EXPECT_EQ(bytes, "untouched");
}

// Every profile in testdata loads and every recording it names can be read, so a typo in a
// profile fails here rather than deep inside a probe test.
TEST(ProfileLoadTest, EveryStoredProfileLoadsWithAllItsRecordings) {
  namespace fs = std::filesystem;
  int profiles = 0;
  for (const fs::directory_entry& dir : fs::directory_iterator(TestdataPath("profiles"))) {
    if (!dir.is_directory()) {
      continue;
    }
    ++profiles;
    const std::string folder = TestdataPath("profiles/" + dir.path().filename().string());
    Profile profile;
    std::string error;
    ASSERT_TRUE(profile.Load(folder, &error)) << error;
    EXPECT_FALSE(profile.entries().empty()) << folder;
    for (const auto& [command, entry] : profile.entries()) {
      for (std::size_t run = 0; run < entry.files.size(); ++run) {
        std::string bytes;
        EXPECT_TRUE(profile.Recording(command, run, &bytes, &error)) << error;
      }
    }
  }
  EXPECT_GE(profiles, 5);
}

// The presence profiles as the check will meet them: which of the seven hosts (in the order
// the build configures) is the first whose ping holds "TTL=".
TEST(ProfileRunnerTest, PresenceProfilesAnswerFromTheIntendedHost) {
  const struct {
    const char* profile;
    int firstAnswering;  // index into the host list, -1 for none
  } cases[] = {
      {"connected-zh", 0},   {"seventh-host-en", 6}, {"offline-zh", -1},
      {"lowercase-ttl", -1}, {"flaky-en", -1},  // its first round; the second run of host 1 answers
  };
  for (const auto& c : cases) {
    ProfileRunner runner(c.profile);
    int answering = -1;
    for (int i = 0; i < 7 && answering < 0; ++i) {
      std::string output;
      ASSERT_EQ(
          runner.RunCommand(std::wstring(L"ping ") + kestrel::endpoints::kPresenceHosts[i], output),
          1);
      EXPECT_FALSE(output.empty()) << c.profile << " host " << i;
      if (output.find("TTL=") != std::string::npos) {
        answering = i;
      }
    }
    EXPECT_EQ(answering, c.firstAnswering) << c.profile;
  }
}

TEST(ProfileRunnerTest, RecordedBytesAreAppendedUnchanged) {
  ProfileRunner runner("connected-zh");
  std::string output = "kept:";
  ASSERT_EQ(runner.RunCommand(L"ping www.baidu.com", output), 1);
  const std::string recorded = ReadFixture("outputs/ping/zh-reply-www.baidu.com.txt");
  EXPECT_EQ(output, "kept:" + recorded);
  // GBK bytes (this file's narrow literals are GBK) and CR LF line ends.
  EXPECT_NE(recorded.find("来自 203.0.113.10 的回复: 字节=32"), std::string::npos);
  EXPECT_NE(recorded.find("TTL=52\r\n"), std::string::npos);

  std::string wmic;
  ASSERT_EQ(runner.RunCommand(L"WMIC CPU Get Name", wmic), 1);
  EXPECT_EQ(wmic.substr(0, 8), "Name    ");
  EXPECT_NE(wmic.find("2.90GHz  \r\r\n\r\r\n"), std::string::npos);
}

TEST(ProfileRunnerTest, RepeatedCommandFollowsItsSequence) {
  ProfileRunner runner("flaky-en");
  const std::string timeout = ReadFixture("outputs/ping/en-timeout-www.baidu.com.txt");
  const std::string reply = ReadFixture("outputs/ping/en-reply-www.baidu.com.txt");
  const std::string expected[] = {timeout, reply, reply};
  for (const std::string& want : expected) {
    std::string output;
    ASSERT_EQ(runner.RunCommand(L"ping www.baidu.com", output), 1);
    EXPECT_EQ(output, want);
  }
}

TEST(ProfileRunnerTest, FailToStartReturnsZeroAndLeavesOutputAlone) {
  ProfileRunner runner("connected-zh");
  runner.FailToStart(L"PING   www.baidu.com ");
  std::string output = "kept";
  EXPECT_EQ(runner.RunCommand(L"ping www.baidu.com", output), 0);
  EXPECT_EQ(output, "kept");
  EXPECT_EQ(runner.LaunchCommand(L"ping www.baidu.com", 0), 0);
  // Another command still runs, and a failed start does not use up a recording.
  EXPECT_EQ(runner.RunCommand(L"WMIC CPU Get Name", output), 1);
  EXPECT_EQ(runner.LaunchCommand(L"WMIC CPU Get Name", 1), 1);
  EXPECT_EQ(runner.calls(),
            (std::vector<std::wstring>{L"ping www.baidu.com", L"ping www.baidu.com",
                                       L"WMIC CPU Get Name", L"WMIC CPU Get Name"}));
}

TEST(ProfileRunnerTest, UnknownCommandFailsTheTestAndYieldsNothing) {
  ProfileRunner runner("connected-zh");
  std::string output;
  int result = 0;
  EXPECT_NONFATAL_FAILURE(result = runner.RunCommand(L"wmic cpu get name", output),
                          "connected-zh has no recording of \"wmic cpu get name\"");
  EXPECT_EQ(result, 1);
  EXPECT_EQ(output, "");
  EXPECT_NONFATAL_FAILURE(result = runner.LaunchCommand(L"sc start dot3svc", 0),
                          "\"sc start dot3svc\"");
  EXPECT_EQ(result, 1);
  EXPECT_EQ(runner.calls().size(), 2u);
}

TEST(ProfileRunnerTest, MissingProfileFailsTheTest) {
  EXPECT_NONFATAL_FAILURE(ProfileRunner runner("no-such-machine"),
                          "machine profile no-such-machine cannot be loaded");
}

}  // namespace
}  // namespace kestrel::test
