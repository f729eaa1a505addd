#include "probes/speed/speed_files_win32.h"

#include <windows.h>

#include "core/win32_services.h"

namespace netprobe::win32 {

namespace {

bool IsPlainFile(DWORD attributes) {
  return (attributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) == 0;
}

class PayloadFile final : public IPayloadFile {
 public:
  explicit PayloadFile(HANDLE handle) : handle_(handle) {}
  PayloadFile(const PayloadFile&) = delete;
  PayloadFile& operator=(const PayloadFile&) = delete;
  ~PayloadFile() override { CloseHandle(handle_); }  // opened delete-on-close

  std::size_t Write(const char* data, std::size_t size) override {
    std::size_t total = 0;
    while (total < size) {
      const DWORD chunk = static_cast<DWORD>(
          size - total > 0x40000000u ? 0x40000000u : size - total);  // WriteFile takes a DWORD
      DWORD written = 0;
      if (WriteFile(handle_, data + total, chunk, &written, nullptr) == FALSE || written == 0) {
        break;
      }
      total += written;
    }
    return total;
  }

  std::uint64_t Size() override {
    LARGE_INTEGER size = {};
    return GetFileSizeEx(handle_, &size) != FALSE ? static_cast<std::uint64_t>(size.QuadPart) : 0;
  }

 private:
  HANDLE handle_;
};

}  // namespace

bool SpeedTestFiles::CommonAppDataFolder(std::wstring& folder) {
  return GetCommonAppDataFolder(folder) == 1;
}

void SpeedTestFiles::RemoveLeftover(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !IsPlainFile(attributes)) {
    return;
  }
  // DeleteFileW removes a name, never what a link points at, even if the file was swapped for
  // a link since the check above.
  DeleteFileW(path.c_str());
}

std::uint64_t SpeedTestFiles::FileSize(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data = {};
  if (GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data) == FALSE ||
      !IsPlainFile(data.dwFileAttributes)) {
    return 0;
  }
  return (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

std::unique_ptr<IPayloadFile> SpeedTestFiles::CreateNew(const std::wstring& path) {
  HANDLE handle = CreateFileW(
      path.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, FILE_SHARE_READ, nullptr, CREATE_NEW,
      FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    return nullptr;
  }
  // What was created must be a plain file with this one name, nothing reached through a link.
  BY_HANDLE_FILE_INFORMATION info = {};
  if (GetFileInformationByHandle(handle, &info) == FALSE || !IsPlainFile(info.dwFileAttributes) ||
      info.nNumberOfLinks != 1) {
    CloseHandle(handle);
    return nullptr;
  }
  try {
    return std::make_unique<PayloadFile>(handle);
  } catch (...) {
    CloseHandle(handle);
    return nullptr;
  }
}

}  // namespace netprobe::win32
