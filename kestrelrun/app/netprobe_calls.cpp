#include "app/netprobe_calls.h"

namespace kestrelrun {

int NetProbeCalls::GetNetworkState() {
  return ::GetNetworkState();
}
int NetProbeCalls::GetHostInfomation(const HostInfo** info, ProbeError* error) {
  return ::GetHostInfomation(info, error);
}
int NetProbeCalls::GetSystemVersionInfo(const SystemInfo** info, ProbeError* error) {
  return ::GetSystemVersionInfo(info, error);
}
int NetProbeCalls::GetCPUInfo(const CpuInfo** info, ProbeError* error) {
  return ::GetCPUInfo(info, error);
}
int NetProbeCalls::GetMemoryInfo(const MemoryInfo** info, ProbeError* error) {
  return ::GetMemoryInfo(info, error);
}
int NetProbeCalls::GetHardDiskInfo(const DiskInfo** info, ProbeError* error) {
  return ::GetHardDiskInfo(info, error);
}
int NetProbeCalls::GetLanAndWlanNetworkCardInfo(const std::vector<NetworkCardSummary>** summaries,
                                                ProbeError* error) {
  return ::GetLanAndWlanNetworkCardInfo(summaries, error);
}
int NetProbeCalls::GetDNSTestnfo(const DnsTestInfo** info, ProbeError* error) {
  return ::GetDNSTestnfo(info, error);
}
int NetProbeCalls::GetHostToRouterDelayInfo(const std::vector<RouterDelayEntry>** wired,
                                            ProbeError* error) {
  return ::GetHostToRouterDelayInfo(wired, error);
}
int NetProbeCalls::GetNumberLanDevices(const std::vector<LanDevicesEntry>** wired,
                                       ProbeError* error) {
  return ::GetNumberLanDevices(wired, error);
}
int NetProbeCalls::GetNetworkDownloadSpeed(const DownloadSpeedInfo** info, ProbeError* error) {
  return ::GetNetworkDownloadSpeed(info, error);
}
int NetProbeCalls::UploadJsonData(wchar_t* reportNumber, ProbeError* error) {
  return ::UploadJsonData(reportNumber, error);
}
int NetProbeCalls::SetNetworkCardDNS(const DnsSettingRequest& request, ProbeError* error) {
  return ::SetNetworkCardDNS(request, error);
}
int NetProbeCalls::UploadDNSJsonData(ProbeError* error) {
  return ::UploadDNSJsonData(error);
}

}  // namespace kestrelrun
