// scripts/complete-profile, which the demo uses to run a one-probe profile as a whole machine:
// the profile's own lines win, the base fills in the rest, and every real profile completed from
// its base is a valid profile whose recordings all resolve.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "profile.h"

namespace kestrel::test {
namespace {

namespace fs = std::filesystem;

const fs::path kRepo = KESTREL_SOURCE_DIR;

void Write(const fs::path& path, const std::string& text) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << text;
}

int Complete(const fs::path& profile, const fs::path& base, const fs::path& out) {
  const std::string command = (kRepo / "scripts/complete-profile").string() + " '" +
                              profile.string() + "' '" + base.string() + "' '" + out.string() +
                              "' 2>/dev/null";
  return std::system(command.c_str());
}

// The recording the completed profile gives a command's run, as bytes.
std::string Answer(const simtools::Profile& profile, const std::string& command, size_t run) {
  std::string bytes;
  std::string error;
  return profile.Recording(command, run, &bytes, &error) ? bytes : "unknown: " + error;
}

class CompleteProfileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ =
        fs::temp_directory_path() /
        ("complete-profile-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
         "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(root_);
  }
  void TearDown() override { fs::remove_all(root_); }
  fs::path root_;
};

TEST_F(CompleteProfileTest, ProfileLinesWinAndTheBaseFillsIn) {
  Write(root_ / "one/commands.txt",
        "# a comment\r\n\r\nWMIC CPU Get Name => mine.txt\r\nping a => p1.txt p2.txt\r\n");
  Write(root_ / "one/mine.txt", "mine");
  Write(root_ / "one/p1.txt", "p1");
  Write(root_ / "one/p2.txt", "p2");
  Write(root_ / "one/adapters.txt", "A => LAN\n");
  Write(root_ / "whole/commands.txt",
        "wmic CPU Get Name => theirs.txt\n  ping a   => q.txt\nwmic cpu get name => lower.txt\n"
        "arp -a => arp.txt\n");
  for (const char* file : {"theirs.txt", "q.txt", "lower.txt", "arp.txt", "registry.txt"}) {
    Write(root_ / "whole" / file, file);
  }
  Write(root_ / "whole/adapters.txt", "B => WLAN\n");
  ASSERT_EQ(Complete(root_ / "one", root_ / "whole", root_ / "out/deep/one"), 0);

  simtools::Profile profile;
  std::string error;
  ASSERT_TRUE(profile.Load((root_ / "out/deep/one").string(), &error)) << error;
  struct Case {
    const char* command;
    size_t run;
    const char* answer;
  };
  // The tool's name is compared without regard to case, the arguments exactly.
  for (const Case& c :
       {Case{"wmic CPU Get Name", 0, "mine"}, Case{"ping a", 0, "p1"}, Case{"ping a", 5, "p2"},
        Case{"wmic cpu get name", 0, "lower.txt"}, Case{"arp -a", 0, "arp.txt"}}) {
    EXPECT_EQ(Answer(profile, c.command, c.run), c.answer) << c.command;
  }
  EXPECT_EQ(profile.entries().size(), 4u);
  std::string adapters;
  ASSERT_TRUE(simtools::ReadFileBytes((root_ / "out/deep/one/adapters.txt").string(), &adapters));
  EXPECT_EQ(adapters, "A => LAN\n");                             // the profile's own table
  EXPECT_TRUE(fs::exists(root_ / "out/deep/one/registry.txt"));  // the base's
}

TEST_F(CompleteProfileTest, RefusesAFolderWithoutCommands) {
  Write(root_ / "whole/commands.txt", "arp -a => arp.txt\n");
  EXPECT_NE(Complete(root_ / "missing", root_ / "whole", root_ / "out"), 0);
  EXPECT_NE(Complete(root_ / "whole", root_ / "missing", root_ / "out"), 0);
}

// What the demo does with each profile that is not a whole machine: the result loads, every
// recording resolves, and the probe the profile is about keeps the profile's own answers.
TEST_F(CompleteProfileTest, EveryProfileCompletesFromItsLanguage) {
  const fs::path profiles = kRepo / "testdata/profiles";
  int completed = 0;
  for (const fs::directory_entry& folder : fs::directory_iterator(profiles)) {
    const std::string name = folder.path().filename().string();
    if (!fs::exists(folder.path() / "commands.txt") || name == "desktop-zh" ||
        name == "laptop-en" || name.rfind("win11-", 0) == 0) {
      continue;
    }
    const bool chinese = name.size() > 3 && name.compare(name.size() - 3, 3, "-zh") == 0;
    const fs::path out = root_ / name;
    ASSERT_EQ(Complete(folder.path(), profiles / (chinese ? "desktop-zh" : "laptop-en"), out), 0);
    simtools::Profile own;
    simtools::Profile whole;
    std::string error;
    ASSERT_TRUE(own.Load(folder.path().string(), &error)) << error;
    ASSERT_TRUE(whole.Load(out.string(), &error)) << name << ": " << error;
    for (const auto& [command, entry] : whole.entries()) {
      for (size_t run = 0; run < entry.files.size(); ++run) {
        std::string bytes;
        EXPECT_TRUE(whole.Recording(command, run, &bytes, &error)) << name << ": " << error;
      }
    }
    for (const auto& [command, entry] : own.entries()) {
      for (size_t run = 0; run < entry.files.size(); ++run) {
        EXPECT_EQ(Answer(whole, command, run), Answer(own, command, run)) << name << command;
      }
    }
    EXPECT_TRUE(whole.Knows("arp -a")) << name;  // the LAN count's listing, from the base
    ++completed;
  }
  EXPECT_GE(completed, 15);
}

}  // namespace
}  // namespace kestrel::test
