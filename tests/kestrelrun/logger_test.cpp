// The log over a fake platform whose Windows paths land in a scratch folder of the test.
#include "app/logger.h"

#include <sstream>

#include "support/testdata.h"
#include "ui/log_lines.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace LOGGER {
namespace {

namespace fs = std::filesystem;

class FakePlatform final : public ILogPlatform {
 public:
  explicit FakePlatform(fs::path root) : root_(std::move(root)) {}
  std::string ProgramFolder() override { return "C:\\Kestrel\\"; }
  bool MakeSureDirectoryPathExists(const std::string& folder) override {
    std::error_code error;
    fs::create_directories(Local(folder), error);
    return !error;
  }
  LocalTime Now() override { return now; }
  std::FILE* OpenAppend(const std::string& path) override {
    ++opens;
    return std::fopen(Local(path).string().c_str(), "a+");
  }
  // A Windows path below the scratch root ("C:\a\b" is root/C/a/b).
  fs::path Local(const std::string& windowsPath) const {
    std::string relative;
    for (char c : windowsPath) {
      if (c != ':') {
        relative += c == '\\' ? '/' : c;
      }
    }
    return root_ / relative;
  }

  LocalTime now{2026, 12, 8, 9, 5, 7};
  int opens = 0;

 private:
  fs::path root_;
};

class LoggerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() /
            ("kestrel_log_" +
             std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(root_);
    platform_ = std::make_unique<FakePlatform>(root_);
  }
  void TearDown() override { fs::remove_all(root_); }

  std::string Bytes(const CLogger& log) const {
    std::ifstream in(platform_->Local(log.path()), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  // The lines after the file's byte order mark.
  std::vector<std::string> Lines(const CLogger& log) const {
    std::istringstream in(Bytes(log));
    std::vector<std::string> lines;
    if (in.peek() == 0xEF)
      in.ignore(3);
    for (std::string line; std::getline(in, line);) {
      if (!line.empty() && line.back() == '\r') {
        line.pop_back();  // a text-mode file on Windows ends its lines with CR LF
      }
      lines.push_back(line);
    }
    return lines;
  }

  fs::path root_;
  std::unique_ptr<FakePlatform> platform_;
};

TEST(LogFormat, FileNameAndLineFollowTheFixedPatterns) {
  const LocalTime time{2026, 1, 2, 3, 4, 5};
  EXPECT_EQ(FileNameFor(time), "20260102_030405.log");
  EXPECT_EQ(FormatLine(time, "总分 87"), "Info\t2026-01-02 03:04:05 总分 87");
}

TEST_F(LoggerTest, DefaultsToTheLogFolderNamedAfterTheStartTime) {
  CLogger log(*platform_, kInfo, "C:\\Kestrel\\log", "");
  EXPECT_EQ(log.folder(), "C:\\Kestrel\\log\\");
  EXPECT_EQ(log.path(), "C:\\Kestrel\\log\\20261208_090507.log");
  CLogger empty(*platform_, kInfo, "", "x.log");
  EXPECT_EQ(empty.path(), "C:\\Kestrel\\x.log");
}

TEST_F(LoggerTest, CreatesAMissingFolderChain) {
  CLogger log(*platform_, kInfo, "D:\\a\\b\\c\\log\\", "");
  EXPECT_TRUE(fs::is_directory(platform_->Local("D:\\a\\b\\c\\log")));
  log.Info("started");
  EXPECT_EQ(Lines(log).size(), 1u);
}

TEST_F(LoggerTest, SameSecondLinesStaySeparateAndEmptyMessagesWriteNothing) {
  CLogger log(*platform_, kInfo, "C:\\Kestrel\\log", "");
  log.Info("%s %d", "first", 1);
  log.Info("%s", "");
  log.Info(nullptr);
  log.Info("second");
  const std::vector<std::string> expected = {"Info\t2026-12-08 09:05:07 first 1",
                                             "Info\t2026-12-08 09:05:07 second"};
  EXPECT_EQ(Lines(log), expected);
}

TEST_F(LoggerTest, BelowTheInformationLevelNothingIsWritten) {
  CLogger log(*platform_, kWarning, "C:\\Kestrel\\log", "");
  log.Info("hidden");
  EXPECT_TRUE(Lines(log).empty());
}

TEST_F(LoggerTest, EachStartWritesItsOwnFile) {
  std::string firstPath;
  {
    CLogger first(*platform_, kInfo, "C:\\Kestrel\\log", "");
    first.Info("run one");
    firstPath = first.path();
  }
  platform_->now.second = 9;
  CLogger second(*platform_, kInfo, "C:\\Kestrel\\log", "");
  second.Info("run two");
  EXPECT_NE(second.path(), firstPath);
  EXPECT_EQ(Lines(second), std::vector<std::string>{"Info\t2026-12-08 09:05:09 run two"});
  EXPECT_EQ(std::distance(fs::directory_iterator(platform_->Local("C:\\Kestrel\\log")),
                          fs::directory_iterator()),
            2);
}

TEST_F(LoggerTest, LinesFromEightThreadsAreNeverInterleaved) {
  CLogger log(*platform_, kInfo, "C:\\Kestrel\\log", "");
  constexpr int kThreads = 8;
  constexpr int kLines = 200;
  const std::string payload(300, 'x');
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&log, &payload, t] {
      for (int i = 0; i < kLines; ++i) {
        log.Info("t%d #%d %s end", t, i, payload.c_str());
      }
    });
  }
  for (auto& thread : threads) {
    thread.join();
  }
  const std::vector<std::string> lines = Lines(log);
  ASSERT_EQ(lines.size(), static_cast<std::size_t>(kThreads * kLines));
  std::vector<int> next(kThreads, 0);
  for (const std::string& line : lines) {
    int t = -1;
    int i = -1;
    ASSERT_EQ(std::sscanf(line.c_str(), "Info\t2026-12-08 09:05:07 t%d #%d", &t, &i), 2) << line;
    ASSERT_TRUE(t >= 0 && t < kThreads);
    EXPECT_EQ(i, next[t]++);  // one thread's lines keep their order
    EXPECT_EQ(line.substr(line.size() - payload.size() - 4), payload + " end");
  }
}

// The run's texts reach the log losslessly whatever the system's code page: an English
// machine's run (laptop-en) logs its Chinese problem texts as UTF-8, behind one byte order mark,
// also when a later start appends to the same file.
TEST_F(LoggerTest, TheRunsTextsAreWrittenAsUtf8BehindOneMark) {
  std::vector<std::string> texts;
  std::istringstream recording(kestrel::test::ReadFixture("results/laptop-en.txt"));
  for (std::string line; std::getline(recording, line);) {
    if (line.rfind("problem ", 0) == 0 || line.rfind("status ", 0) == 0)
      texts.push_back(line.substr(line.find(' ') + 1));
  }
  ASSERT_GT(texts.size(), 10u);
  texts.push_back("\xF0\x9F\x8E\x93 e\xCC\x81 \xE2\x82\xAC");  // outside the BMP, combining, euro
  for (int start = 0; start < 2; ++start) {
    CLogger log(*platform_, kInfo, "C:\\Kestrel\\log", "same.log");
    kestrelrun::CLoggerLines lines(log);
    for (const std::string& text : texts)
      lines.Line(kestrel::Utf8ToWide(text));
  }
  CLogger reader(*platform_, kInfo, "C:\\Kestrel\\log", "same.log");
  const std::string bytes = Bytes(reader);
  EXPECT_EQ(bytes.rfind(kUtf8Mark, 0), 0u);
  EXPECT_EQ(bytes.find(kUtf8Mark, 1), std::string::npos);
  const std::vector<std::string> written = Lines(reader);
  ASSERT_EQ(written.size(), 2 * texts.size());
  for (std::size_t i = 0; i < written.size(); ++i)
    EXPECT_EQ(written[i], "Info\t2026-12-08 09:05:07 " + texts[i % texts.size()]);
}

}  // namespace
}  // namespace LOGGER
