// The Win32 side of the speed test's payload file. Declared without <windows.h>.
#pragma once

#include "probes/speed/speed_platform.h"

namespace netprobe::win32 {

// The payload is written by an elevated program into a folder every user may write to, so it
// is only ever created new (CREATE_NEW, reparse points not followed) and removed through its
// own handle when closed; whatever someone planted at its name is never written through.
class SpeedTestFiles final : public ISpeedTestFiles {
 public:
  bool CommonAppDataFolder(std::wstring& folder) override;
  void RemoveLeftover(const std::wstring& path) override;
  std::uint64_t FileSize(const std::wstring& path) override;
  std::unique_ptr<IPayloadFile> CreateNew(const std::wstring& path) override;
};

}  // namespace netprobe::win32
