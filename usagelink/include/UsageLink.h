// UsageLink: the version check, the usage statistic, the device identity and the web pages of
// the maker's statistics and version server. Records hold std::string (ANSI code page): every
// module that includes this header is built with the same toolchain and runtime as the DLL.
#pragma once

#include <string>

#if defined(_WIN32)
#if defined(USAGELINK_BUILDING)
#define USAGELINK_API extern "C" __declspec(dllexport)
#else
#define USAGELINK_API extern "C" __declspec(dllimport)
#endif
#else
#define USAGELINK_API extern "C" __attribute__((visibility("default")))
#endif

struct VersionRequest {
  std::string id;
  std::string versions;
};

struct StatisticsRecord {
  std::string id;
  std::string datetime;
  std::string versions;
  std::string status;
  std::string pcModel;
  std::string manufacture;
  std::string serialNumber;
};

struct DeviceInfo {
  std::string pcModel;
  std::string manufacture;
  std::string serialNumber;
};

// The answer's "code" (202: a newer version, whose address is kept), or 0.
USAGELINK_API int DataCollection_VersionGet(const VersionRequest* request) noexcept;
// 1 when the statistic was delivered.
USAGELINK_API bool DataCollection_OperationResponse(const StatisticsRecord* record) noexcept;
// Fills the record from the firmware's product listing; always 1.
USAGELINK_API bool DataCollection_GetDeviceInfo(DeviceInfo* info) noexcept;
// Opens the feedback page of request->id; always 1.
USAGELINK_API bool DataCollection_OpenFeedbackQuestion(const VersionRequest* request) noexcept;
// Opens the kept download address when it is a plain web address; always 1.
USAGELINK_API bool DataCollection_OpenToolDownUrl() noexcept;
