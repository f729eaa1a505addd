// The Win32 side of the system queries: version from the process environment block, registry
// text values, memory, system folder and disk space, as Wine answers them.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cwctype>
#include <string>

#include "core/win32_services.h"
#include "probes/system/os_version.h"
#include "support/windows_system.h"

namespace kestrel::test {
namespace {

constexpr const wchar_t kTestValue[] = L"KestrelSystemInfoTestValue";

TEST(SystemInfoWin32Test, VersionIsWhatTheSystemReports) {
  netprobe::win32::SystemInfo system;
  unsigned major = 0;
  unsigned minor = 0;
  ASSERT_TRUE(system.OsVersion(major, minor));
  unsigned expectedMajor = 0;
  unsigned expectedMinor = 0;
  ASSERT_TRUE(NtdllVersion(expectedMajor, expectedMinor));
  EXPECT_EQ(major, expectedMajor);
  EXPECT_EQ(minor, expectedMinor);
  // Wine 8 sets a fresh prefix up as Windows 7 SP1 (6.1); one set to Windows 10 claims 10.0.
  const int versionClass = netprobe::GetOsVersionClass(system);
  EXPECT_TRUE(versionClass == 7 || versionClass == 10) << major << "." << minor;
}

TEST(SystemInfoWin32Test, ReadsTextValuesThatFitItsBuffer) {
  struct Case {
    const char* what;
    std::wstring text;
    bool terminated;
    bool found;
  };
  const Case cases[] = {
      {"release", L"21H2", true, true},
      {"empty", L"", true, true},
      {"Chinese", L"Windows 10 专业版", true, true},
      {"127 characters", std::wstring(127, L'x'), true, true},
      {"128 characters", std::wstring(128, L'x'), true, false},
      {"300 characters", std::wstring(300, L'x'), true, false},
      {"stored without its terminator", L"2009", false, true},
  };
  for (const Case& c : cases) {
    ScopedCurrentVersionValue value(kTestValue, REG_SZ, c.text.c_str(),
                                    TextBytes(c.text, c.terminated));
    netprobe::win32::SystemInfo system;
    std::wstring read = L"unchanged";
    EXPECT_EQ(system.ReadCurrentVersionValue(kTestValue, read), c.found) << c.what;
    EXPECT_EQ(read, c.found ? c.text : L"unchanged") << c.what;
  }
}

TEST(SystemInfoWin32Test, OtherTypesAndMissingValuesAreNotRead) {
  const std::wstring text = L"%SystemRoot%";
  const wchar_t multi[] = L"one\0two\0";
  const DWORD number = 2009;
  struct Case {
    const char* what;
    DWORD type;
    const void* data;
    DWORD bytes;
  };
  const Case cases[] = {
      {"expandable text", REG_EXPAND_SZ, text.c_str(), TextBytes(text)},
      {"text list", REG_MULTI_SZ, multi, sizeof multi},
      {"number", REG_DWORD, &number, sizeof number},
  };
  netprobe::win32::SystemInfo system;
  for (const Case& c : cases) {
    ScopedCurrentVersionValue value(kTestValue, c.type, c.data, c.bytes);
    std::wstring read = L"unchanged";
    EXPECT_FALSE(system.ReadCurrentVersionValue(kTestValue, read)) << c.what;
    EXPECT_EQ(read, L"unchanged") << c.what;
  }
  std::wstring read = L"unchanged";
  EXPECT_FALSE(system.ReadCurrentVersionValue(L"KestrelValueNobodyWrites", read));
  EXPECT_EQ(read, L"unchanged");
}

TEST(SystemInfoWin32Test, MemoryAndSystemDriveHaveSaneFigures) {
  netprobe::win32::SystemInfo system;
  std::uint64_t totalMemory = 0;
  std::uint64_t availableMemory = 0;
  ASSERT_TRUE(system.MemoryStatus(totalMemory, availableMemory));
  EXPECT_GT(availableMemory, 0u);
  EXPECT_GE(totalMemory, availableMemory);

  const std::wstring folder = system.SystemDirectory();
  ASSERT_GT(folder.size(), 8u);
  std::wstring tail = folder.substr(folder.size() - 8);
  for (wchar_t& c : tail) {
    c = static_cast<wchar_t>(std::towlower(c));
  }
  EXPECT_EQ(tail, L"system32");

  std::uint64_t totalDisk = 0;
  std::uint64_t freeDisk = 0;
  ASSERT_TRUE(system.DiskSpace(folder, totalDisk, freeDisk));
  EXPECT_GT(freeDisk, 0u);
  EXPECT_GE(totalDisk, freeDisk);
}

}  // namespace
}  // namespace kestrel::test
