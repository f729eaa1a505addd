// What the Windows-only tests ask of the system themselves, to set up a case or to check the
// library's answer against: the version ntdll reports, CurrentVersion registry values set for
// the length of a test, and files in the temporary folder. Header-only: the tests of the Win32
// layer and those of the real DLL are separate programs.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace kestrel::test {

constexpr const wchar_t kCurrentVersionKey[] = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";

// The version the system reports through ntdll, which no compatibility setting of the program
// changes; false when it cannot be had.
inline bool NtdllVersion(unsigned& major, unsigned& minor) {
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

// A REG_SZ value's size as the registry stores it, terminator included unless `terminated` is
// false.
inline DWORD TextBytes(const std::wstring& text, bool terminated = true) {
  return static_cast<DWORD>((text.size() + (terminated ? 1 : 0)) * sizeof(wchar_t));
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
  // A text value (REG_SZ, terminated).
  ScopedCurrentVersionValue(std::wstring name, const std::wstring& text)
      : ScopedCurrentVersionValue(std::move(name), REG_SZ, text.c_str(), TextBytes(text)) {}
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

// A path in the temporary folder that no other test program running at the same time uses.
inline std::wstring TempFilePath(const wchar_t* name) {
  wchar_t folder[MAX_PATH + 1] = {};
  GetTempPathW(MAX_PATH, folder);
  return std::wstring(folder) + std::to_wstring(GetCurrentProcessId()) + L"_" + name;
}

// The file's exact bytes; empty when it cannot be read.
inline std::string ReadBytes(const std::wstring& path) {
  std::ifstream in(std::filesystem::path(path), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace kestrel::test
