// The library's lifetime as callers see it: init, language, release.
#include <gtest/gtest.h>

#include <memory>
#include <new>
#include <string>
#include <vector>

#include "NetProbe.h"
#include "dll/engine_instance.h"
#include "support/fake_machine.h"

namespace kestrel::test {
namespace {

TEST(LifetimeTest, InitDllSucceedsWithoutTouchingTheError) {
  ProbeError error;
  EXPECT_EQ(InitDll(&error), 1);
  EXPECT_EQ(error.code, 0);
  EXPECT_TRUE(error.message.empty());
}

TEST(LifetimeTest, ReleaseTwiceIsHarmlessAndLaterExportsFail) {
  FakeMachine machine("connected-zh");
  machine.InstallEngine();
  ProbeError error;
  ASSERT_EQ(InitDll(&error), 1);

  ReleaseDllRes();
  EXPECT_EQ(netprobe::Engine(), nullptr);
  ReleaseDllRes();
  EXPECT_EQ(GetNetworkState(), 0);
  const MemoryInfo* info = nullptr;
  EXPECT_EQ(GetMemoryInfo(&info, &error), 0);
  EXPECT_EQ(info, nullptr);
  EXPECT_EQ(error.code, 1);
  EXPECT_EQ(error.message, "获取内存信息失败");
  EXPECT_TRUE(machine.runner.calls().empty());
}

// A runner that gives out as memory runs out.
class ExhaustedRunner : public netprobe::ICommandRunner {
 public:
  explicit ExhaustedRunner(netprobe::ICommandRunner& presence) : presence_(presence) {}
  int RunCommand(const std::wstring& command, std::string& output) override {
    if (command.rfind(L"ping ", 0) == 0) {
      return presence_.RunCommand(command, output);
    }
    throw std::bad_alloc();
  }
  int LaunchCommand(const std::wstring&, int) override { throw std::bad_alloc(); }

 private:
  netprobe::ICommandRunner& presence_;
};

TEST(LifetimeTest, ProbeThatThrowsFailsWithItsOwnCodeOne) {
  FakeMachine machine("desktop-zh");
  ExhaustedRunner runner(machine.runner);
  netprobe::Platform platform = machine.platform();
  platform.commands = &runner;
  netprobe::InstallEngine(std::make_unique<netprobe::ProbeEngine>(platform));

  ProbeError error;
  const DiskInfo* disks = nullptr;
  EXPECT_EQ(GetHardDiskInfo(&disks, &error), 0);
  EXPECT_EQ(disks, nullptr);
  EXPECT_EQ(error.code, 1);
  EXPECT_EQ(error.message, "获取硬盘信息失败");
  const std::vector<NetworkCardSummary>* cards = nullptr;
  EXPECT_EQ(GetLanAndWlanNetworkCardInfo(&cards, &error), 0);
  EXPECT_EQ(error.message, "获取网卡信息失败");
  netprobe::DestroyEngine();
}

TEST(LifetimeTest, LanguageFollowsTheAnsiCodePage) {
  struct Case {
    unsigned codePage;
    int language;
  };
  for (const Case& c : {Case{936, 1}, Case{1252, 2}}) {
    FakeMachine machine("connected-zh", c.codePage);
    EXPECT_EQ(machine.MakeEngine()->language(), c.language) << c.codePage;
  }
}

}  // namespace
}  // namespace kestrel::test
