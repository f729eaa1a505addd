// The folders NetProbe works in and the side files the probes write and read there.
#include <shlobj.h>
#include <windows.h>

#include <io.h>

#include <cstdio>
#include <string>
#include <vector>

#include "core/win32_services.h"
#include "kestrel/module_path.h"

namespace netprobe::win32 {

namespace {

constexpr wchar_t kLibraryFileName[] = L"NetProbe.dll";
// The shortest folder worth returning: a drive root such as "C:\".
constexpr std::size_t kShortestFolder = 3;

// Closes a C stream on every path.
class OwnedFile {
 public:
  explicit OwnedFile(FILE* file) : file_(file) {}
  OwnedFile(const OwnedFile&) = delete;
  OwnedFile& operator=(const OwnedFile&) = delete;
  ~OwnedFile() {
    if (file_ != nullptr) {
      std::fclose(file_);
    }
  }
  FILE* get() const { return file_; }

 private:
  FILE* file_;
};

// Splits `text` at "\n", dropping one "\r" before it; a last line without a line end counts.
// Returns how many lines were appended.
std::size_t AppendLines(const std::string& text, std::vector<std::string>& lines) {
  std::size_t count = 0;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) {
      lines.push_back(text.substr(start));
      return count + 1;
    }
    std::size_t lineEnd = end > start && text[end - 1] == '\r' ? end - 1 : end;
    lines.push_back(text.substr(start, lineEnd - start));
    ++count;
    start = end + 1;
  }
  return count;
}

}  // namespace

int GetExeFolder(std::wstring& folder) noexcept {
  try {
    std::wstring path = kestrel::win32::ModulePath(nullptr);
    std::size_t slash = path.rfind(L'\\');
    if (slash == std::wstring::npos || slash < kShortestFolder) {
      return 0;
    }
    folder = path.substr(0, slash);
    return 1;
  } catch (...) {
    return 0;
  }
}

int GetLibraryFolder(std::wstring& folder) noexcept {
  try {
    HMODULE library = GetModuleHandleW(kLibraryFileName);
    if (library == nullptr) {
      return 0;
    }
    std::wstring path = kestrel::win32::ModulePath(library);
    std::size_t slash = path.rfind(L'\\');
    if (slash == std::wstring::npos) {
      return 0;
    }
    folder = path.substr(0, slash + 1);
    return 1;
  } catch (...) {
    return 0;
  }
}

std::string GetLibraryFolderAnsi() noexcept {
  try {
    std::wstring folder;
    if (GetLibraryFolder(folder) == 0) {
      return {};
    }
    const int wideLength = static_cast<int>(folder.size());
    int length =
        WideCharToMultiByte(CP_ACP, 0, folder.data(), wideLength, nullptr, 0, nullptr, nullptr);
    if (length <= 0) {
      return {};
    }
    std::string ansi(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, 0, folder.data(), wideLength, ansi.data(), length, nullptr,
                        nullptr);
    return ansi;
  } catch (...) {
    return {};
  }
}

int GetCommonAppDataFolder(std::wstring& folder) noexcept {
  try {
    wchar_t path[MAX_PATH + 1] = {};
    if (SHGetSpecialFolderPathW(nullptr, path, CSIDL_COMMON_APPDATA, FALSE) == FALSE) {
      return 0;
    }
    folder = path;
    return 1;
  } catch (...) {
    return 0;
  }
}

int WriteTextFile(const std::string& text, const std::wstring& fileName) noexcept {
  try {
    std::wstring folder;
    if (GetExeFolder(folder) == 0) {
      return 0;  // never fall back to a path relative to the drive root
    }
    const std::wstring path = folder + L"\\" + fileName;
    DeleteFileW(path.c_str());
    // Binary mode: the bytes (GBK text, CR CR LF line ends) go to disk as they are.
    OwnedFile file(_wfopen(path.c_str(), L"wb"));
    if (file.get() == nullptr) {
      return 0;
    }
    if (!text.empty()) {
      std::fwrite(text.data(), 1, text.size(), file.get());
    }
    return 1;
  } catch (...) {
    return 0;
  }
}

int ReplaceTextFileAt(const std::wstring& path, const std::string& text) noexcept {
  try {
    if (path.size() >= MAX_PATH) {
      return 0;  // the system's path limit: never write a file under a cut-off name
    }
    DeleteFileW(path.c_str());
    OwnedFile file(_wfopen(path.c_str(), L"w"));
    if (file.get() == nullptr) {
      return 0;
    }
    if (!text.empty()) {
      std::fwrite(text.data(), 1, text.size(), file.get());
    }
    return 1;
  } catch (...) {
    return 0;
  }
}

int ReadTextLines(const std::wstring& path, std::vector<std::string>& lines) noexcept {
  try {
    OwnedFile file(_wfopen(path.c_str(), L"rb"));
    if (file.get() == nullptr) {
      return 0;
    }
    std::string text;
    char chunk[4096];
    std::size_t read = 0;
    while ((read = std::fread(chunk, 1, sizeof(chunk), file.get())) > 0) {
      text.append(chunk, read);
    }
    return AppendLines(text, lines) > 0 ? 1 : 0;
  } catch (...) {
    return 0;
  }
}

bool FileExists(const std::wstring& path) noexcept {
  return _waccess(path.c_str(), 0) != -1;
}

}  // namespace netprobe::win32
