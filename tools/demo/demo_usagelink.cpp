// Calls UsageLink as the program does and prints what it returns. The web pages (feedback,
// download) are not opened: under Wine that would start a browser.
#include <windows.h>

#include <cstdio>
#include <ctime>
#include <string>

#include "demo_print.h"
#include "demo_usagelink.h"

namespace {

constexpr const char* kToolId = "10090";
constexpr const char* kToolVersion = "2.1.20.928";
constexpr int kNewerVersion = 202;
constexpr int kClosing = 3;  // the statistic's operation code when the window closes

}  // namespace

DeviceInfo UsageLinkAtStart() {
  const VersionRequest request{kToolId, kToolVersion};
  const int code = DataCollection_VersionGet(&request);
  std::printf("DataCollection_VersionGet(%s, %s) -> %d%s\n", kToolId, kToolVersion, code,
              code == kNewerVersion ? " (a newer version: the program would open the download "
                                      "page and end)"
                                    : "");
  DeviceInfo device;
  const bool read = DataCollection_GetDeviceInfo(&device);
  std::printf("DataCollection_GetDeviceInfo -> %d\n", read ? 1 : 0);
  PrintText("pcModel", device.pcModel);
  PrintText("manufacture", device.manufacture);
  PrintText("serialNumber", device.serialNumber);
  return device;
}

void UsageLinkAtClose(const DeviceInfo& device) {
  const StatisticsRecord record{kToolId,
                                std::to_string(static_cast<long long>(std::time(nullptr))),
                                kToolVersion,
                                std::to_string(kClosing),
                                device.pcModel,
                                device.manufacture,
                                device.serialNumber};
  const bool sent = DataCollection_OperationResponse(&record);
  std::printf("DataCollection_OperationResponse(status %s, datetime %s) -> %d\n",
              record.status.c_str(), record.datetime.c_str(), sent ? 1 : 0);
}
