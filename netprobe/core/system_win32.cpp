// The Win32 side of ISystemInfo and IClock.
#include <windows.h>
#include <winternl.h>

#include <cstring>

#include "core/win32_services.h"

namespace netprobe::win32 {

namespace {

constexpr const wchar_t kCurrentVersionKey[] = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
// The value buffer holds at most 127 characters and the terminator.
constexpr DWORD kValueBufferBytes = 256;

// Where the process environment block keeps OSMajorVersion (OSMinorVersion follows it).
#if defined(_WIN64)
constexpr std::size_t kPebOsMajorVersionOffset = 0x118;
#else
constexpr std::size_t kPebOsMajorVersionOffset = 0xA4;
#endif

}  // namespace

SystemInfo::SystemInfo() : wow64_(IsWow64() == 1) {}

bool SystemInfo::OsVersion(unsigned& major, unsigned& minor) {
  PROCESS_BASIC_INFORMATION info = {};
  if (NtQueryInformationProcess(GetCurrentProcess(), ProcessBasicInformation, &info, sizeof info,
                                nullptr) != 0 ||
      info.PebBaseAddress == nullptr) {
    return false;
  }
  const auto* peb = reinterpret_cast<const unsigned char*>(info.PebBaseAddress);
  ULONG numbers[2];
  std::memcpy(numbers, peb + kPebOsMajorVersionOffset, sizeof numbers);
  major = numbers[0];
  minor = numbers[1];
  return true;
}

bool SystemInfo::ReadCurrentVersionValue(const std::wstring& name, std::wstring& value) {
  HKEY key = nullptr;
  const REGSAM access = KEY_READ | (wow64_ ? KEY_WOW64_64KEY : 0);
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kCurrentVersionKey, 0, access, &key) != ERROR_SUCCESS) {
    return false;
  }
  wchar_t buffer[kValueBufferBytes / sizeof(wchar_t) + 1] = {};
  DWORD type = 0;
  DWORD size = kValueBufferBytes;
  const LONG status =
      RegQueryValueExW(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
  RegCloseKey(key);
  if (status != ERROR_SUCCESS || type != REG_SZ) {
    return false;
  }
  // The stored string need not be terminated; the extra zeroed element guarantees it is.
  value.assign(buffer, wcsnlen(buffer, size / sizeof(wchar_t)));
  return true;
}

bool SystemInfo::MemoryStatus(std::uint64_t& totalBytes, std::uint64_t& availableBytes) {
  MEMORYSTATUSEX status = {};
  status.dwLength = sizeof status;
  if (!GlobalMemoryStatusEx(&status)) {
    return false;
  }
  totalBytes = status.ullTotalPhys;
  availableBytes = status.ullAvailPhys;
  return true;
}

std::wstring SystemInfo::SystemDirectory() {
  wchar_t buffer[MAX_PATH] = {};
  const UINT length = GetSystemDirectoryW(buffer, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) {
    return {};
  }
  return std::wstring(buffer, length);
}

bool SystemInfo::DiskSpace(const std::wstring& path, std::uint64_t& totalBytes,
                           std::uint64_t& freeToCallerBytes) {
  ULARGE_INTEGER freeToCaller = {};
  ULARGE_INTEGER total = {};
  ULARGE_INTEGER totalFree = {};
  if (!GetDiskFreeSpaceExW(path.c_str(), &freeToCaller, &total, &totalFree)) {
    return false;
  }
  totalBytes = total.QuadPart;
  freeToCallerBytes = freeToCaller.QuadPart;
  return true;
}

void Clock::SleepMilliseconds(unsigned milliseconds) {
  Sleep(milliseconds);
}

void DebuggerLog::Note(const std::wstring& line) {
  OutputDebugStringW((line + L"\n").c_str());
}

}  // namespace netprobe::win32
