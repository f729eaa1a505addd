// The Win32 side of the system queries: version from the process environment block, registry
// text values, memory, system folder and disk space, as Wine answers them.
#include <windows.h>

#include <gtest/gtest.h>

#include <cwctype>
#include <optional>
#include <string>
#include <vector>

#include "core/win32_services.h"
#include "probes/system/os_version.h"

namespace {

constexpr const wchar_t kCurrentVersionKey[] = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";

// The version the system reports through ntdll, to check the environment block against.
bool NtdllVersion(unsigned& major, unsigned& minor) {
  using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
  const FARPROC proc = GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "RtlGetVersion");
  if (proc == nullptr) {
    return false;
  }
  // Through void(*)(): GetProcAddress's type says nothing about the real one.
  const auto rtlGetVersion = reinterpret_cast<RtlGetVersionFn>(reinterpret_cast<void (*)()>(proc));
  OSVERSIONINFOW info = {};
  info.dwOSVersionInfoSize = sizeof info;
  if (rtlGetVersion(&info) != 0) {
    return false;
  }
  major = info.dwMajorVersion;
  minor = info.dwMinorVersion;
  return true;
}

// Sets one value under CurrentVersion for the length of a test and puts back what was there.
class ScopedCurrentVersionValue {
 public:
  ScopedCurrentVersionValue(std::wstring name, DWORD type, const void* data, DWORD bytes)
      : name_(std::move(name)) {
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kCurrentVersionKey, 0, KEY_QUERY_VALUE | KEY_SET_VALUE,
                      &key_) != ERROR_SUCCESS) {
      ADD_FAILURE() << "cannot open the CurrentVersion key for writing";
      key_ = nullptr;
      return;
    }
    DWORD oldBytes = 0;
    if (RegQueryValueExW(key_, name_.c_str(), nullptr, &oldType_, nullptr, &oldBytes) ==
        ERROR_SUCCESS) {
      old_.emplace(oldBytes, 0);
      RegQueryValueExW(key_, name_.c_str(), nullptr, &oldType_, old_->data(), &oldBytes);
      old_->resize(oldBytes);
    }
    EXPECT_EQ(RegSetValueExW(key_, name_.c_str(), 0, type, static_cast<const BYTE*>(data), bytes),
              ERROR_SUCCESS);
  }
  ~ScopedCurrentVersionValue() {
    if (key_ == nullptr) {
      return;
    }
    if (old_) {
      RegSetValueExW(key_, name_.c_str(), 0, oldType_, old_->data(),
                     static_cast<DWORD>(old_->size()));
    } else {
      RegDeleteValueW(key_, name_.c_str());
    }
    RegCloseKey(key_);
  }
  ScopedCurrentVersionValue(const ScopedCurrentVersionValue&) = delete;
  ScopedCurrentVersionValue& operator=(const ScopedCurrentVersionValue&) = delete;

 private:
  std::wstring name_;
  HKEY key_ = nullptr;
  DWORD oldType_ = 0;
  std::optional<std::vector<BYTE>> old_;
};

// A REG_SZ value as the registry stores it, terminator included unless `terminated` is false.
DWORD TextBytes(const std::wstring& text, bool terminated = true) {
  return static_cast<DWORD>((text.size() + (terminated ? 1 : 0)) * sizeof(wchar_t));
}

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
