// The library's one object: the requests, the kept download address, the device output and the
// pages, over the platform interfaces of core/link_platform.h.
#pragma once

#include <atomic>
#include <cstddef>
#include <memory>
#include <mutex>
#include <string>

#include "UsageLink.h"
#include "core/link_platform.h"
#include "core/response_buffer.h"
#include "kestrel/codepage.h"

namespace usagelink {

inline constexpr std::size_t kDeviceOutputCapacity = 32768;
inline constexpr unsigned kDeviceWaitSeconds = 10;  // a listing that never prints gives up here
inline constexpr const char kDeviceCommand[] = "wmic csproduct list full";
// Where wmic is gone (newer Windows 11), the same class through PowerShell, printed as the three
// "Key=value" lines the listing reader takes, control characters as blanks so that no value
// starts a line of its own.
inline constexpr const char kDeviceCimCommand[] =
    "powershell -NoProfile -NonInteractive -Command \"Get-CimInstance Win32_ComputerSystemProduct "
    "| ForEach-Object { foreach ($k in 'IdentifyingNumber', 'Vendor', 'Version') { $k + '=' + "
    "([string]$_.$k -replace '[\\x00-\\x1f]', ' ') } }\"";

class UsageLink {
 public:
  UsageLink(IHttpPost& http, IPlatform& platform, const kestrel::ICodePage& pages,
            std::string host);

  int VersionGet(const VersionRequest& request);
  bool OperationResponse(const StatisticsRecord& record);
  void GetDeviceInfo(DeviceInfo& info);
  void OpenFeedbackQuestion(const VersionRequest& request);
  void OpenToolDownUrl();

  const std::string& downloadAddress() const { return downloadAddress_; }
  bool wmicMissing() const { return wmicMissing_; }

 private:
  // What the command printed: all of it once it ended, or what it had printed when its output
  // stood still for a second (a listing comes in several chunks); nothing when it printed nothing
  // within kDeviceWaitSeconds.
  std::string ReadListing(const char* command);

  bool wmicMissing_ = false;  // settled by the first wmic answer that is cmd's complaint
  // What a reader thread appends to; shared so a reader outliving its call finds it alive, and
  // one a call, so such a reader never adds to a later call's listing.
  struct DeviceOutput {
    std::mutex mutex;
    std::string text;
  };

  std::string Url(const char* path) const { return "http://" + host_ + path; }

  IHttpPost& http_;
  IPlatform& platform_;
  const kestrel::ICodePage& pages_;
  std::string host_;
  std::unique_ptr<ResponseBuffer> response_ = std::make_unique<ResponseBuffer>();
  std::string downloadAddress_;
};

}  // namespace usagelink
