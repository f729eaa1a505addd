// The operating system's name, release and version class: the version table, the probe on
// recorded machines with the registry faked, and its export.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "NetProbe.h"
#include "core/shared.h"
#include "dll/engine_instance.h"
#include "probe_fixtures.h"
#include "probes/system/os_version.h"
#include "probes/system/system_probe.h"
#include "support/fake_machine.h"
#include "support/offline_export.h"
#include "support/testdata.h"

namespace kestrel::test {
namespace {

constexpr const wchar_t kNameCommand[] = L"WMIC OS Get Name";
constexpr const wchar_t kSideFile[] = L"OS.txt";

std::vector<std::wstring> Commands(std::size_t nameQueries) {
  return std::vector<std::wstring>(nameQueries, kNameCommand);
}

TEST(OsVersionTest, ClassesOfKnownVersionsAndZeroForOthers) {
  struct Case {
    unsigned major;
    unsigned minor;
    int versionClass;
  };
  const Case cases[] = {
      {5, 0, 3},   {5, 1, 4}, {5, 2, 5}, {6, 0, 6}, {6, 1, 7},  {6, 2, 8},  {6, 3, 9},
      {10, 0, 10}, {4, 0, 0}, {5, 3, 0}, {6, 4, 0}, {10, 1, 0}, {11, 0, 0}, {0, 0, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(netprobe::OsVersionClass(c.major, c.minor), c.versionClass)
        << c.major << "." << c.minor;
    FakeSystem system;
    system.major = c.major;
    system.minor = c.minor;
    EXPECT_EQ(netprobe::GetOsVersionClass(system), c.versionClass) << c.major << "." << c.minor;
  }
  FakeSystem unknown;
  unknown.versionKnown = false;
  EXPECT_EQ(netprobe::GetOsVersionClass(unknown), 0);
}

TEST(OsNameTest, RecordedAnswersGiveTheProductNameAlone) {
  const std::pair<const char*, const char*> cases[] = {
      {"outputs/system/zh-win10-pro-os-name.txt", "Microsoft Windows 10 专业版"},
      {"outputs/system/en-win10-pro-os-name.txt", "Microsoft Windows 10 Pro"},
      {"outputs/system/en-win7-ultimate-os-name.txt", "Microsoft Windows 7 Ultimate"},
  };
  for (const auto& [fixture, expected] : cases) {
    std::string name;
    EXPECT_EQ(netprobe::ParseOsName(ReadFixture(fixture), "Name", name), 1) << fixture;
    EXPECT_EQ(name, expected) << fixture;
  }
  std::string name = "unchanged";
  EXPECT_EQ(netprobe::ParseOsName(ReadFixture("outputs/system/en-invalid-class.txt"), "Name", name),
            0);
  EXPECT_EQ(name, "unchanged");
}

struct VersionCase {
  unsigned major;
  unsigned minor;
  int result;
  int versionClass;
  const char* systemName;
  const char* systemVersion;
  std::size_t nameQueries;
  bool sideFile;
  int code;
};

// On the English laptop, whose registry holds ReleaseId 2009 and CSDVersion Service Pack 1.
const VersionCase kVersions[] = {
    {10, 0, 1, 10, "Microsoft Windows 10 Pro", "2009", 1, true, 0},
    {6, 3, 1, 9, "Microsoft Windows 10 Pro", "", 1, true, 0},
    {6, 2, 1, 8, "Microsoft Windows 10 Pro", "", 1, true, 0},
    {6, 1, 1, 7, "Microsoft Windows 10 Pro", "Service Pack 1", 1, false, 0},
    // Older and unknown systems are turned away before any command runs.
    {6, 0, 0, 6, "", "", 0, false, 3},
    {5, 2, 0, 5, "", "", 0, false, 3},
    {5, 1, 0, 4, "", "", 0, false, 3},
    {5, 0, 0, 3, "", "", 0, false, 3},
    {11, 0, 0, 0, "", "", 0, false, 3},
};

TEST(SystemProbeTest, EachVersionClassReadsWhatItShould) {
  for (const VersionCase& c : kVersions) {
    FakeMachine machine("laptop-en");
    machine.system.major = c.major;
    machine.system.minor = c.minor;
    machine.system.currentVersionValues[L"CSDVersion"] = L"Service Pack 1";
    auto engine = machine.MakeEngine();
    SeedRecords(*engine, [&](netprobe::ProbeRecords& r) {
      r.systemInfo = SystemInfo{"old name", "old version", 99};
    });
    ProbeError error;

    EXPECT_EQ(engine->ProbeSystemVersion(&error), c.result) << c.versionClass;
    EXPECT_EQ(engine->records().systemInfo.systemVersionNumber, c.versionClass);
    EXPECT_EQ(engine->records().systemInfo.systemName, c.systemName) << c.versionClass;
    EXPECT_EQ(engine->records().systemInfo.systemVersion, c.systemVersion) << c.versionClass;
    EXPECT_EQ(machine.runner.calls(), Commands(c.nameQueries)) << c.versionClass;
    EXPECT_EQ(machine.files.written.count(kSideFile), c.sideFile ? 1u : 0u) << c.versionClass;
    EXPECT_EQ(error.code, c.code) << c.versionClass;
    if (c.code == 3) {
      EXPECT_EQ(error.message, "不支持当前操作系统");
    }
  }
}

TEST(SystemProbeTest, ChineseDesktopKeepsItsNameInGbkAndItsAnswerInTheSideFile) {
  FakeMachine machine("desktop-zh");
  auto engine = machine.MakeEngine();
  const std::string recorded = ReadFixture("outputs/system/zh-win10-pro-os-name.txt");

  for (int call = 0; call < 2; ++call) {
    machine.files.written[kSideFile] = "an older answer";
    ASSERT_EQ(engine->ProbeSystemVersion(nullptr), 1);
    EXPECT_EQ(engine->records().systemInfo.systemName, "Microsoft Windows 10 专业版");
    EXPECT_EQ(engine->records().systemInfo.systemVersion, "2009");
    EXPECT_EQ(engine->records().systemInfo.systemVersionNumber, 10);
    // Replaced on each call, with the bytes as captured (GBK, CR CR LF).
    EXPECT_EQ(machine.files.written[kSideFile], recorded);
  }
}

TEST(SystemProbeTest, RegistryNameStandsInWhenWmicSaysNothingUsable) {
  struct Case {
    const char* profile;
    bool starts;
    const char* sideFile;  // the recording OS.txt receives, or null when none is written
  };
  const Case cases[] = {
      {"laptop-en", false, nullptr},
      {"host-broken-wmi-en", true, "outputs/system/en-invalid-class.txt"},
  };
  for (const Case& c : cases) {
    FakeMachine machine(c.profile);
    if (!c.starts) {
      machine.runner.FailToStart(kNameCommand);
    }
    machine.system.currentVersionValues[L"ProductName"] = L"Windows 10 Enterprise";
    auto engine = machine.MakeEngine();

    EXPECT_EQ(engine->ProbeSystemVersion(nullptr), 1) << c.profile;
    EXPECT_EQ(engine->records().systemInfo.systemName, "Windows 10 Enterprise") << c.profile;
    EXPECT_EQ(engine->records().systemInfo.systemVersion, "2009") << c.profile;
    EXPECT_EQ(machine.runner.calls(), machine.runner.WithRetries(Commands(1))) << c.profile;
    if (c.sideFile != nullptr) {
      EXPECT_EQ(machine.files.written[kSideFile], ReadFixture(c.sideFile)) << c.profile;
    } else {
      EXPECT_EQ(machine.files.written.count(kSideFile), 0u) << c.profile;
    }
  }
}

TEST(SystemProbeTest, RegistryTextIsConvertedToTheAnsiCodePage) {
  struct Case {
    unsigned page;
    const char* expected;
  };
  for (const Case& c : {Case{936, "Windows 10 专业版"}, Case{1252, "Windows 10 ???"}}) {
    FakeMachine machine("laptop-en", c.page);
    machine.runner.FailToStart(kNameCommand);
    machine.system.currentVersionValues[L"ProductName"] = L"Windows 10 专业版";
    auto engine = machine.MakeEngine();

    EXPECT_EQ(engine->ProbeSystemVersion(nullptr), 1) << c.page;
    EXPECT_EQ(engine->records().systemInfo.systemName, c.expected) << c.page;
  }
}

TEST(SystemProbeTest, FailuresKeepWhatWasSetBeforeThem) {
  struct Case {
    const char* profile;
    unsigned major;
    unsigned minor;
    const wchar_t* missingValue;
    bool wmicStarts;
    int code;
    const char* message;
    const char* systemName;
  };
  const Case cases[] = {
      // Windows 7 without a service pack: the name is in, the version is not.
      {"os-win7-en", 6, 1, L"CSDVersion", true, 2, "获取系统版本失败",
       "Microsoft Windows 7 Ultimate"},
      {"laptop-en", 10, 0, L"ReleaseId", true, 2, "获取系统版本失败", "Microsoft Windows 10 Pro"},
      // No name anywhere: the class is in, and the release is not even asked for.
      {"laptop-en", 10, 0, L"ProductName", false, 1, "获取系统名称失败", ""},
      {"host-broken-wmi-en", 10, 0, L"ProductName", true, 1, "获取系统名称失败", ""},
  };
  for (const Case& c : cases) {
    FakeMachine machine(c.profile);
    machine.system.major = c.major;
    machine.system.minor = c.minor;
    machine.system.currentVersionValues.erase(c.missingValue);
    if (!c.wmicStarts) {
      machine.runner.FailToStart(kNameCommand);
    }
    auto engine = machine.MakeEngine();
    SeedRecords(*engine, [&](netprobe::ProbeRecords& r) {
      r.systemInfo = SystemInfo{"old name", "old version", 99};
    });
    ProbeError error;

    EXPECT_EQ(engine->ProbeSystemVersion(&error), 0) << c.profile;
    EXPECT_EQ(error.code, c.code) << c.profile;
    EXPECT_EQ(error.message, c.message) << c.profile;
    EXPECT_EQ(engine->records().systemInfo.systemVersionNumber,
              static_cast<int>(c.major == 6 ? 7 : 10));
    EXPECT_EQ(engine->records().systemInfo.systemName, c.systemName) << c.profile;
    EXPECT_EQ(engine->records().systemInfo.systemVersion, "") << c.profile;
  }
}

using SystemExportTest = ExportTest;

TEST_F(SystemExportTest, HandsOutTheSameRecordRefilledOnEachCall) {
  InstallMachine("laptop-en");
  const SystemInfo* first = nullptr;
  const SystemInfo* second = nullptr;
  ProbeError error;

  ASSERT_EQ(GetSystemVersionInfo(&first, &error), 1);
  ASSERT_NE(first, nullptr);
  SeedRecords(*netprobe::Engine(), [&](netprobe::ProbeRecords& r) { r.systemInfo = SystemInfo{}; });
  ASSERT_EQ(GetSystemVersionInfo(&second, &error), 1);
  EXPECT_EQ(second, first);
  EXPECT_EQ(second->systemName, "Microsoft Windows 10 Pro");
  EXPECT_EQ(second->systemVersion, "2009");
  EXPECT_EQ(second->systemVersionNumber, 10);
}

TEST_F(SystemExportTest, OfflineLeavesTheRecordAndTheSideFileAlone) {
  FakeMachine& machine = InstallMachine("offline-zh");
  SeedRecords(*netprobe::Engine(), [&](netprobe::ProbeRecords& r) {
    r.systemInfo = SystemInfo{"old name", "old version", 7};
  });

  ExpectRefusedOffline(GetSystemVersionInfo);
  const SystemInfo& kept = netprobe::Engine()->records().systemInfo;
  EXPECT_EQ(kept.systemName, "old name");
  EXPECT_EQ(kept.systemVersion, "old version");
  EXPECT_EQ(kept.systemVersionNumber, 7);
  EXPECT_TRUE(machine.files.written.empty());
}

}  // namespace
}  // namespace kestrel::test
