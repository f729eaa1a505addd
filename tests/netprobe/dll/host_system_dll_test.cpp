// GetHostInfomation and GetSystemVersionInfo of the real NetProbe.dll: simulated wmic answering
// from the machine profile of this locale, Wine's registry holding the values the test sets.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "NetProbe.h"
#include "support/offline_export.h"
#include "support/simulated_machine.h"
#include "support/testdata.h"
#include "support/windows_system.h"

namespace kestrel::test {
namespace {

// What one locale's machine answers.
struct LocaleMachine {
  const char* profile;
  const char* serialNumber;
  const char* manufacturer;
  const char* model;
  const char* systemName;
  const char* osRecording;
  const wchar_t* registryProductName;  // for the machine whose wmic answers nothing usable
  const char* productName;             // the same in the ANSI code page
};

const LocaleMachine& ThisLocale() {
  static const LocaleMachine chinese = {"desktop-zh",
                                        "PC1K7Q2M",
                                        "TARVOS",
                                        "QiXing M720t-N000",
                                        "Microsoft Windows 10 专业版",
                                        "outputs/system/zh-win10-pro-os-name.txt",
                                        L"Windows 10 企业版",
                                        "Windows 10 企业版"};
  static const LocaleMachine english = {"laptop-en",
                                        "7HQK8R2",
                                        "Dell Inc.",
                                        "Latitude 7490",
                                        "Microsoft Windows 10 Pro",
                                        "outputs/system/en-win10-pro-os-name.txt",
                                        L"Windows 10 Enterprise",
                                        "Windows 10 Enterprise"};
  return ChineseSystem() ? chinese : english;
}

// The Windows version the prefix claims decides where the version text comes from and whether
// the wmic answer is kept beside the program.
struct VersionRoad {
  int versionClass;
  const wchar_t* valueName;
  const wchar_t* valueText;
  bool sideFile;
};

std::optional<VersionRoad> ThisSystem() {
  unsigned major = 0;
  unsigned minor = 0;
  if (!NtdllVersion(major, minor)) {
    return std::nullopt;
  }
  if (major == 10 && minor == 0) {
    return VersionRoad{10, L"ReleaseId", L"2009", true};
  }
  if (major == 6 && minor == 1) {
    return VersionRoad{7, L"CSDVersion", L"Service Pack 1", false};
  }
  return std::nullopt;
}

std::string Narrow(const wchar_t* ascii) {
  std::string text;
  for (; *ascii != L'\0'; ++ascii) {
    text += static_cast<char>(*ascii);
  }
  return text;
}

// "OS.txt" beside this program, where the library writes it.
std::wstring SideFilePath() {
  wchar_t path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path, length);
  return folder.substr(0, folder.find_last_of(L'\\') + 1) + L"OS.txt";
}

// The Chinese and English runs share one Wine prefix, hence one registry and one program folder:
// a named mutex keeps their registry edits and side files apart.
class HostSystemDllTest : public testing::Test {
 protected:
  void SetUp() override {
    lock_ = CreateMutexW(nullptr, FALSE, L"KestrelHostSystemDllTest");
    ASSERT_NE(lock_, nullptr);
    WaitForSingleObject(lock_, INFINITE);
  }
  void TearDown() override {
    if (lock_ != nullptr) {
      ReleaseMutex(lock_);
      CloseHandle(lock_);
    }
  }

 private:
  HANDLE lock_ = nullptr;
};

TEST_F(HostSystemDllTest, HostRecordComesFromTheProductListing) {
  const LocaleMachine& expected = ThisLocale();
  SimulatedMachine machine(expected.profile);
  const HostInfo* first = nullptr;
  const HostInfo* second = nullptr;
  ProbeError error;

  ASSERT_EQ(GetHostInfomation(&first, &error), 1) << error.code << machine.Transcript();
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->serialNumber, expected.serialNumber);
  EXPECT_EQ(first->manufacturer, expected.manufacturer);
  EXPECT_EQ(first->hostTypeName, expected.model);
  ASSERT_EQ(GetHostInfomation(&second, &error), 1) << error.code << machine.Transcript();
  EXPECT_EQ(second, first);
  EXPECT_EQ(second->hostTypeName, expected.model);
  EXPECT_EQ(error.code, 0);
  const std::string ping = "ping www.baidu.com";
  const std::string listing = "wmic CSPRODUCT list full";
  EXPECT_EQ(machine.Calls(), (std::vector<std::string>{ping, listing, ping, listing}));
}

TEST_F(HostSystemDllTest, SystemRecordNamesTheSystemAndKeepsTheAnswerBesideTheProgram) {
  const LocaleMachine& expected = ThisLocale();
  const std::optional<VersionRoad> road = ThisSystem();
  ASSERT_TRUE(road.has_value()) << "Wine claims neither Windows 10 nor Windows 7";
  ScopedCurrentVersionValue version(road->valueName, road->valueText);
  const std::wstring sideFile = SideFilePath();
  DeleteFileW(sideFile.c_str());
  const SystemInfo* first = nullptr;
  const SystemInfo* second = nullptr;
  ProbeError error;

  SimulatedMachine machine(expected.profile);
  ASSERT_EQ(GetSystemVersionInfo(&first, &error), 1) << error.code << machine.Transcript();
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->systemName, expected.systemName);
  EXPECT_EQ(first->systemVersion, Narrow(road->valueText));
  EXPECT_EQ(first->systemVersionNumber, road->versionClass);
  // Windows 10 keeps wmic's answer byte for byte; Windows 7 keeps none.
  const std::string recorded = road->sideFile ? ReadFixture(expected.osRecording) : "";
  EXPECT_EQ(ReadBytes(sideFile), recorded);

  // The second call writes the side file afresh.
  if (road->sideFile) {
    std::ofstream(std::filesystem::path(sideFile), std::ios::binary | std::ios::trunc) << "stale";
  }
  ASSERT_EQ(GetSystemVersionInfo(&second, &error), 1) << error.code << machine.Transcript();
  EXPECT_EQ(second, first);
  EXPECT_EQ(second->systemName, expected.systemName);
  EXPECT_EQ(ReadBytes(sideFile), recorded);
  EXPECT_EQ(error.code, 0);
  EXPECT_EQ(machine.Calls(), (std::vector<std::string>{"ping www.baidu.com", "wmic OS Get Name",
                                                       "ping www.baidu.com", "wmic OS Get Name"}));
  DeleteFileW(sideFile.c_str());
}

TEST_F(HostSystemDllTest, BrokenWmiFailsTheHostAndLeavesTheNameToTheRegistry) {
  const LocaleMachine& expected = ThisLocale();
  const std::optional<VersionRoad> road = ThisSystem();
  ASSERT_TRUE(road.has_value());
  ScopedCurrentVersionValue version(road->valueName, road->valueText);
  ScopedCurrentVersionValue product(L"ProductName", expected.registryProductName);
  SimulatedMachine machine("host-broken-wmi-en");
  ProbeError error;

  const HostInfo* host = nullptr;
  EXPECT_EQ(GetHostInfomation(&host, &error), 0);
  EXPECT_EQ(error.code, 2);
  EXPECT_EQ(error.message, "解析主机类型失败");

  const SystemInfo* system = nullptr;
  ASSERT_EQ(GetSystemVersionInfo(&system, &error), 1) << error.code << machine.Transcript();
  EXPECT_EQ(system->systemName, expected.productName);
  EXPECT_EQ(system->systemVersion, Narrow(road->valueText));
  DeleteFileW(SideFilePath().c_str());
}

TEST_F(HostSystemDllTest, OfflineLeavesBothRecordsAsTheyWere) {
  const LocaleMachine& expected = ThisLocale();
  const std::optional<VersionRoad> road = ThisSystem();
  ASSERT_TRUE(road.has_value());
  ScopedCurrentVersionValue version(road->valueName, road->valueText);
  const HostInfo* host = nullptr;
  const SystemInfo* system = nullptr;
  {
    SimulatedMachine online(expected.profile);
    ProbeError error;
    ASSERT_EQ(GetHostInfomation(&host, &error), 1) << error.code << online.Transcript();
    ASSERT_EQ(GetSystemVersionInfo(&system, &error), 1) << error.code << online.Transcript();
  }
  DeleteFileW(SideFilePath().c_str());

  SimulatedMachine offline("offline-zh");
  ExpectRefusedOffline(GetHostInfomation);
  ExpectRefusedOffline(GetSystemVersionInfo);
  EXPECT_EQ(host->serialNumber, expected.serialNumber);
  EXPECT_EQ(host->hostTypeName, expected.model);
  EXPECT_EQ(system->systemName, expected.systemName);
  EXPECT_EQ(system->systemVersion, Narrow(road->valueText));
  EXPECT_EQ(system->systemVersionNumber, road->versionClass);
  // Only the presence pings ran: no listing, no side file.
  ExpectOnlyPings(offline.Calls());
  EXPECT_EQ(GetFileAttributesW(SideFilePath().c_str()), INVALID_FILE_ATTRIBUTES);
}

}  // namespace
}  // namespace kestrel::test
