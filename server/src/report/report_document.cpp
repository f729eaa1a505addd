#include "report/report_document.h"

#include <json/json.h>

#include <memory>

namespace kestrel::server {
namespace {

enum class Kind { kText, kInteger, kArray };

struct Member {
  const char* key;
  Kind kind;
};

constexpr Member kMembers[] = {
    {"Manufacturer", Kind::kText},
    {"SerialNumber", Kind::kText},
    {"HostTypeName", Kind::kText},
    {"SystName", Kind::kText},
    {"SystemVersion", Kind::kText},
    {"CurSystemVersionNumber", Kind::kInteger},
    {"CPUName", Kind::kText},
    {"MaxClockSpeed", Kind::kInteger},
    {"MaxClockSpeedScore", Kind::kInteger},
    {"NumberOfCores", Kind::kInteger},
    {"NumberOfCoresScore", Kind::kInteger},
    {"NumberOfLogicalProcessors", Kind::kInteger},
    {"NumberOfLogicalProcessorsScore", Kind::kInteger},
    {"L2CacheSize", Kind::kInteger},
    {"L2CacheSizeScore", Kind::kInteger},
    {"L3CacheSize", Kind::kInteger},
    {"L3CacheSizeScore", Kind::kInteger},
    {"CPUUtilization", Kind::kInteger},
    {"MemorySumSize", Kind::kInteger},
    {"MemorySumSizeScore", Kind::kInteger},
    {"Speed", Kind::kInteger},
    {"SpeedScore", Kind::kInteger},
    {"MemoryOccupancy", Kind::kInteger},
    {"MemoryOccupancyScore", Kind::kInteger},
    {"MemoryNumber", Kind::kInteger},
    {"MemoryNumberScore", Kind::kInteger},
    {"HardDiskInfo", Kind::kArray},
    {"HardDiskSumSize", Kind::kInteger},
    {"HardDiskSizeScore", Kind::kInteger},
    {"HardDiskSpeedScore", Kind::kInteger},
    {"SystemDiskSize", Kind::kInteger},
    {"SystemDiskRemainingSpace", Kind::kInteger},
    {"SystemDiskRemainingSpaceScore", Kind::kInteger},
    {"NetworkCardInfo", Kind::kArray},
    {"DNSTestInfo", Kind::kArray},
    {"Optimize", Kind::kInteger},
    {"HostToRouterDelayInfo", Kind::kArray},
    {"NumberLanDevicesInfo", Kind::kArray},
    {"MaxDownloadSpeed", Kind::kText},
    {"MinDownloadSpeed", Kind::kText},
    {"AvgDownloadSpeed", Kind::kText},
    {"BandwidthSpeed", Kind::kText},
    {"DownloadSpeedScore", Kind::kInteger},
    {"MicrophoneState", Kind::kInteger},
    {"CameraState", Kind::kInteger},
};

bool Fits(const Json::Value& v, Kind kind) {
  switch (kind) {
    case Kind::kText:
      return v.isString();
    case Kind::kInteger:
      return v.isIntegral();
    case Kind::kArray:
      return v.isArray();
  }
  return false;
}

}  // namespace

std::string CheckReportDocument(const std::string& body) {
  Json::CharReaderBuilder builder;
  builder["collectComments"] = false;
  const std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
  Json::Value root;
  std::string errors;
  if (!reader->parse(body.data(), body.data() + body.size(), &root, &errors)) {
    return "not JSON";
  }
  if (!root.isObject()) {
    return "not a JSON object";
  }
  for (const Member& m : kMembers) {
    if (!root.isMember(m.key)) {
      return std::string("missing member ") + m.key;
    }
    if (!Fits(root[m.key], m.kind)) {
      return std::string("wrong type of member ") + m.key;
    }
  }
  return {};
}

}  // namespace kestrel::server
