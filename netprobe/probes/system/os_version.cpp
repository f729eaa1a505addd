#include "probes/system/os_version.h"

namespace netprobe {

namespace {

struct VersionRow {
  unsigned major;
  unsigned minor;
  int versionClass;
};

// Windows 2000 through Windows 10 (and 11, which still reports 10.0).
constexpr VersionRow kVersionClasses[] = {
    {5, 0, 3}, {5, 1, 4}, {5, 2, 5}, {6, 0, 6}, {6, 1, 7}, {6, 2, 8}, {6, 3, 9}, {10, 0, 10},
};

}  // namespace

int OsVersionClass(unsigned major, unsigned minor) {
  for (const VersionRow& row : kVersionClasses) {
    if (row.major == major && row.minor == minor) {
      return row.versionClass;
    }
  }
  return 0;
}

int GetOsVersionClass(ISystemInfo& system) {
  unsigned major = 0;
  unsigned minor = 0;
  if (!system.OsVersion(major, minor)) {
    return 0;
  }
  return OsVersionClass(major, minor);
}

}  // namespace netprobe
