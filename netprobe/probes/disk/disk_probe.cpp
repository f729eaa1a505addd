#include "probes/disk/disk_probe.h"

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "core/probe_error.h"
#include "core/wmi_query.h"
#include "probes/disk/disk_parsers.h"
#include "probes/system/os_version.h"

namespace netprobe {

namespace {

constexpr char kNoDiskMessage[] = "解析硬盘信息失败";

constexpr int kWindows7Class = 7;
constexpr double kBytesPerBinaryMegabyte = 1024.0 * 1024.0;

// The listing's reader takes these keys of each disk in this order.
constexpr WmiQuery kDiskListingQuery{
    L"wmic diskdrive list full",
    KESTREL_CIM_LISTING(L"Win32_DiskDrive", L"'InterfaceType', 'Model', 'Signature', 'Size'")};
const wchar_t kPhysicalDiskCommand[] = L"powershell -command \"Get-PhysicalDisk|Select-Object *\"";

// Truncates a non-negative value towards zero like a cast to a 32-bit int, but pins values
// beyond its range to its maximum: a plain cast of such a double is undefined.
std::int32_t TruncateToInt32(double value) {
  constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
  return value >= static_cast<double>(kMax) ? kMax : static_cast<std::int32_t>(value);
}

// Size, free space and its score for the drive of the system folder. Left at 0 when the folder
// is unknown, the query fails or the drive reports no size (no percentage can be had then).
void MeasureSystemDrive(const DiskProbeServices& services, const std::wstring& systemFolder,
                        DiskInfo& info) {
  std::uint64_t totalBytes = 0;
  std::uint64_t freeBytes = 0;
  if (systemFolder.empty() || !services.system.DiskSpace(systemFolder, totalBytes, freeBytes) ||
      totalBytes == 0) {
    return;
  }
  info.systemDiskSize = TruncateToInt32(static_cast<double>(totalBytes) / kBytesPerBinaryMegabyte);
  info.systemDiskRemainingSpace =
      TruncateToInt32(static_cast<double>(freeBytes) / kBytesPerBinaryMegabyte);
  const int freePercent =
      TruncateToInt32(static_cast<double>(freeBytes) / static_cast<double>(totalBytes) * 100.0);
  info.systemDiskRemainingSpaceScore = services.scorer.SystemDiskFree(freePercent);
}

// WinSAT's sequential-read rating of the system drive, scored. A drive letter that cannot be
// had, a tool that does not start or refuses to rate leaves the score at 0: not an error.
void RateSystemDrive(const DiskProbeServices& services, const std::wstring& systemFolder,
                     DiskInfo& info) {
  if (systemFolder.empty()) {
    return;
  }
  const std::wstring command = std::wstring(L"winsat disk -drive ") + systemFolder[0] + L":";
  std::string output;
  double rating = 0.0;
  if (services.commands.RunCommand(command, output) == 1 && ParseWinsatReadRating(output, rating)) {
    info.hardDiskSpeedScore = services.scorer.DiskSpeed(rating);
  }
}

// The fixed disks from PowerShell, when the wmic listing named none. 1, or 0 with `error` set.
int ReadPhysicalDisks(const DiskProbeServices& services, std::vector<DiskEntry>& disks,
                      ProbeError* error) {
  std::string output;
  if (services.commands.RunCommand(kPhysicalDiskCommand, output) == 0) {
    SetError(error, kCommandFailed, kDiskCommandFailedMessage);
    return 0;
  }
  if (!ParsePhysicalDiskListing(output, disks)) {
    SetError(error, kAnswerUnreadable, kNoDiskMessage);
    return 0;
  }
  return 1;
}

}  // namespace

int ProbeDisks(const DiskProbeServices& services, DiskInfo& info, ProbeError* error) {
  const int versionClass = GetOsVersionClass(services.system);
  info = DiskInfo();

  std::string listing;
  if (services.wmi.Run(kDiskListingQuery, listing) == 0) {
    SetError(error, kCommandFailed, kDiskCommandFailedMessage);
    return 0;
  }
  std::vector<DiskEntry> disks;
  if (!ParseDiskListing(listing, disks)) {
    if (versionClass == kWindows7Class) {
      // Windows 7 has no Get-PhysicalDisk, and reading the wmic listing again cannot find
      // more: it held no fixed disk the first time.
      SetError(error, kAnswerUnreadable, kNoDiskMessage);
      return 0;
    }
    disks.clear();
    info = DiskInfo();
    if (ReadPhysicalDisks(services, disks, error) == 0) {
      return 0;
    }
  }

  const std::wstring systemFolder = services.system.SystemDirectory();
  MeasureSystemDrive(services, systemFolder, info);
  RateSystemDrive(services, systemFolder, info);

  for (DiskEntry& disk : disks) {
    info.hardDiskSumSize += static_cast<std::uint64_t>(disk.size);
    info.disks.push_back(std::move(disk));
  }
  if (info.hardDiskSumSize != 0) {
    info.hardDiskSizeScore = services.scorer.DiskSize(info.hardDiskSumSize);
  }
  return 1;
}

}  // namespace netprobe
