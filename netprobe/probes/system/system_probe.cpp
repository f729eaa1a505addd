#include "probes/system/system_probe.h"

#include <string>

#include "core/probe_error.h"
#include "core/shared.h"
#include "core/wmi_query.h"
#include "probes/system/os_version.h"

namespace netprobe {

namespace {

constexpr int kWindows7 = 7;
constexpr int kWindows8 = 8;
constexpr int kWindows81 = 9;
constexpr int kWindows10 = 10;

// The raw wmic answer is kept beside the program for support staff; nothing reads it back.
constexpr const wchar_t kOsSideFile[] = L"OS.txt";

// The CIM caption names Windows 11 where the registry's product name still says Windows 10.
constexpr WmiQuery kOsNameQuery{L"WMIC OS Get Name",
                                KESTREL_CIM_COLUMN(L"Win32_OperatingSystem", L"Name")};

// The system's product name: wmic's first, the registry's when wmic does not start or says
// nothing usable. False (error written) when neither has it.
bool FindSystemName(const SystemProbeServices& services, SystemInfo& info, bool writeSideFile,
                    ProbeError* error) {
  std::string output;
  if (services.wmi.Run(kOsNameQuery, output) == 1) {
    if (writeSideFile) {
      services.files.WriteTextFile(output, kOsSideFile);
    }
    std::string name;
    if (ParseOsName(output, "Name", name) == 1) {
      info.systemName = name;
      return true;
    }
  }
  std::wstring productName;
  if (!services.system.ReadCurrentVersionValue(L"ProductName", productName)) {
    SetError(error, kCommandFailed, kSystemCommandFailedMessage);
    return false;
  }
  info.systemName = services.codePage.WideToAnsi(productName);
  return true;
}

// The release (Windows 10) or service pack (Windows 7) text from the registry. False (error
// written) when the value is missing.
bool ReadSystemVersion(const SystemProbeServices& services, SystemInfo& info,
                       const wchar_t* valueName, ProbeError* error) {
  std::wstring value;
  if (!services.system.ReadCurrentVersionValue(valueName, value)) {
    SetError(error, kSystemVersionUnreadable, "获取系统版本失败");
    return false;
  }
  info.systemVersion = services.codePage.WideToAnsi(value);
  return true;
}

}  // namespace

int ProbeSystemVersion(const SystemProbeServices& services, SystemInfo& info, ProbeError* error) {
  info.systemName.clear();
  info.systemVersion.clear();
  info.systemVersionNumber = GetOsVersionClass(services.system);

  // A failure part-way keeps what was already set (the class, then the name).
  switch (info.systemVersionNumber) {
    case kWindows10:
      if (!FindSystemName(services, info, true, error) ||
          !ReadSystemVersion(services, info, L"ReleaseId", error)) {
        return 0;
      }
      return 1;
    case kWindows81:
    case kWindows8:
      return FindSystemName(services, info, true, error) ? 1 : 0;
    case kWindows7:
      if (!FindSystemName(services, info, false, error) ||
          !ReadSystemVersion(services, info, L"CSDVersion", error)) {
        return 0;
      }
      return 1;
    default:
      SetError(error, kSystemUnsupported, "不支持当前操作系统");
      return 0;
  }
}

}  // namespace netprobe
