// The testers' core: the number each answer leaves and the result file it lands in.
#include "core/verdict.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

namespace testers {
namespace {

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class VerdictFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    folder_ = fs::temp_directory_path() / (std::string("testers_") + info->name());
    fs::remove_all(folder_);
    fs::create_directories(folder_);
  }
  void TearDown() override { fs::remove_all(folder_); }
  fs::path folder_;
};

TEST_F(VerdictFileTest, WritesTheNumberOnTheFirstLineReplacingAnOldFile) {
  const struct {
    Device device;
    const char* name;
    int verdict;
  } cases[] = {{Device::kMicrophone, "MicrophoneTextResult.txt", 1},
               {Device::kMicrophone, "MicrophoneTextResult.txt", 0},
               {Device::kCamera, "CameraTextResult.txt", 2},
               {Device::kCamera, "CameraTextResult.txt", 1}};
  for (const auto& c : cases) {
    // A longer file from an earlier run must not leave a tail behind.
    std::ofstream(folder_ / c.name, std::ios::binary) << "2\r\nan earlier run's longer text\r\n";
    EXPECT_EQ(WriteVerdict(folder_, c.device, c.verdict), kExitWritten) << c.name;
    EXPECT_EQ(ReadAll(folder_ / c.name), std::to_string(c.verdict) + "\r\n") << c.name;
  }
  // Each tester touches only its own file.
  fs::remove(folder_ / "CameraTextResult.txt");
  EXPECT_EQ(WriteVerdict(folder_, Device::kMicrophone, 2), kExitWritten);
  EXPECT_FALSE(fs::exists(folder_ / "CameraTextResult.txt"));
}

TEST_F(VerdictFileTest, UnwritablePlacesFailAndKeepWhatIsThere) {
  // Root may write anywhere, so these are places no one can write a file to.
  std::ofstream(folder_ / "plain-file") << "x";
  fs::create_directories(folder_ / "taken" / "MicrophoneTextResult.txt");
  const fs::path places[] = {folder_ / "missing", folder_ / "plain-file", folder_ / "taken"};
  for (const fs::path& place : places) {
    EXPECT_EQ(WriteVerdict(place, Device::kMicrophone, 1), kExitNotWritten) << place;
  }
  EXPECT_EQ(ReadAll(folder_ / "plain-file"), "x");
  EXPECT_TRUE(fs::is_directory(folder_ / "taken" / "MicrophoneTextResult.txt"));
  EXPECT_FALSE(fs::exists(folder_ / "missing"));
}

}  // namespace
}  // namespace testers
