// The library's lifetime as callers see it: init, language, release.
#include <gtest/gtest.h>

#include "NetProbe.h"
#include "core/engine_instance.h"
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
  EXPECT_TRUE(machine.runner.calls().empty());
}

TEST(LifetimeTest, LanguageFollowsTheAnsiCodePage) {
  struct Case {
    unsigned codePage;
    int language;
  };
  for (const Case& c : {Case{936, 1}, Case{1252, 2}}) {
    FakeMachine machine("connected-zh", c.codePage);
    EXPECT_EQ(machine.MakeEngine()->language, c.language) << c.codePage;
  }
}

}  // namespace
}  // namespace kestrel::test
