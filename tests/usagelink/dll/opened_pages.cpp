#include "opened_pages.h"

#include <windows.h>

#include <fstream>

namespace usagelink::test {

OpenedPages::OpenedPages() {
  // Wine's launcher tries other programs before and after the stand-ins unless told to use them
  // alone (this test's own prefix).
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Wine\\WineBrowser", 0, nullptr, 0,
                      KEY_SET_VALUE, nullptr, &key, nullptr) == ERROR_SUCCESS) {
    const wchar_t browsers[] = L"xdg-open";
    const wchar_t mailers[] = L"xdg-email";
    RegSetValueExW(key, L"Browsers", 0, REG_SZ, reinterpret_cast<const BYTE*>(browsers),
                   sizeof browsers);
    RegSetValueExW(key, L"Mailers", 0, REG_SZ, reinterpret_cast<const BYTE*>(mailers),
                   sizeof mailers);
    RegCloseKey(key);
  }
  wchar_t unixPath[MAX_PATH] = {};
  const DWORD length = GetEnvironmentVariableW(L"KESTREL_OPENED_LOG", unixPath, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) {
    return;
  }
  path_ = L"Z:" + std::wstring(unixPath);  // Wine's drive for the Unix root
  DeleteFileW(path_.c_str());
}

std::vector<std::string> OpenedPages::Read() const {
  std::vector<std::string> lines;
  std::ifstream in(path_.c_str(), std::ios::binary);
  std::string line;
  while (std::getline(in, line)) {
    lines.push_back(line);
  }
  return lines;
}

std::vector<std::string> OpenedPages::WaitFor(std::size_t count) const {
  std::vector<std::string> lines = Read();
  for (int waited = 0; lines.size() < count && waited < 300; ++waited) {
    Sleep(100);
    lines = Read();
  }
  return lines;
}

}  // namespace usagelink::test
