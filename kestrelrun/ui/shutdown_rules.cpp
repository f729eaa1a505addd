#include "ui/shutdown_rules.h"

#include <cwctype>

namespace kestrelrun {
namespace {

// Lower case, "/" as "\", without a leading "\\?\" (the long-path form Windows may report).
std::wstring Canonical(std::wstring path) {
  for (auto& c : path)
    c = c == L'/' ? L'\\' : static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
  const std::wstring longPrefix = L"\\\\?\\";
  if (path.compare(0, longPrefix.size(), longPrefix) == 0)
    path.erase(0, longPrefix.size());
  return path;
}

}  // namespace

VersionRequest ProductRecord() {
  return {kToolId, kToolVersion};
}

StatisticsRecord MakeExitStatistic(const DeviceInfo& device, std::int64_t secondsSince1970) {
  StatisticsRecord record;
  record.id = kToolId;
  record.datetime = std::to_string(secondsSince1970);
  record.versions = kToolVersion;
  record.status = std::to_string(kExitOperation);
  record.pcModel = device.pcModel;
  record.manufacture = device.manufacture;
  record.serialNumber = device.serialNumber;
  return record;
}

bool IsOwnTester(const std::wstring& imagePath, const std::wstring& programFolder) {
  if (programFolder.empty() || imagePath.empty())
    return false;
  std::wstring image = Canonical(imagePath);
  std::wstring folder = Canonical(programFolder);
  if (folder.back() != L'\\')
    folder += L'\\';
  folder += L"test\\";
  if (image.compare(0, folder.size(), folder) != 0)
    return false;
  std::wstring name = image.substr(folder.size());
  for (const wchar_t* tester : kTesterNames) {
    if (name == Canonical(tester))
      return true;
  }
  return false;
}

}  // namespace kestrelrun
