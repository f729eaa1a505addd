// NetProbe: the system, hardware and network probes behind Kestrel's detection run.
//
// Every export is a plain function with an undecorated name. Checking exports return 1 on
// success and 0 on failure with the caller's ProbeError filled. Records are owned by the library
// and handed out by pointer; read them in place and never free them. A pointer stays valid until
// ReleaseDllRes, and its contents are refilled each time the same export runs again.
//
// This header needs no <windows.h>. Every module that includes it must be built with the same
// toolchain and C++ runtime as NetProbe.dll, since the records hold std::string and std::vector.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ProbeError.h"

#if defined(_WIN32)
#if defined(NETPROBE_BUILDING)
#define NETPROBE_API extern "C" __declspec(dllexport)
#else
#define NETPROBE_API extern "C" __declspec(dllimport)
#endif
#else
#define NETPROBE_API extern "C" __attribute__((visibility("default")))
#endif

// The computer's model, serial number and maker.
struct HostInfo {
  std::string hostTypeName;
  std::string serialNumber;
  std::string manufacturer;
};

// The operating system's product name, release and version class (3 to 10).
struct SystemInfo {
  std::string systemName;
  std::string systemVersion;  // ReleaseId on Windows 10, service pack on Windows 7
  int systemVersionNumber = 0;
};

// The processor, each number beside its score.
struct CpuInfo {
  std::string cpuName;
  int maxClockSpeed = 0;  // MHz
  int maxClockSpeedScore = 0;
  int numberOfCores = 0;
  int numberOfCoresScore = 0;
  int numberOfLogicalProcessors = 0;
  int numberOfLogicalProcessorsScore = 0;
  int l2CacheSize = 0;  // KB
  int l2CacheSizeScore = 0;
  int l3CacheSize = 0;  // KB
  int l3CacheSizeScore = 0;
  int cpuUtilization = 0;  // average load, percent
};

// Installed memory, each value beside its score.
struct MemoryInfo {
  std::uint64_t memorySumSize = 0;  // MB of 1,048,576 bytes, over all modules
  int memorySumSizeScore = 0;
  int speed = 0;  // MHz, the slowest module
  int speedScore = 0;
  int memoryOccupancy = 0;  // percent in use
  int memoryOccupancyScore = 0;
  int memoryNumber = 0;  // modules counted
  int memoryNumberScore = 0;
};

// One fixed physical disk.
struct DiskEntry {
  std::string hardDiskName;
  std::int64_t size = 0;  // MB of 1,000,000 bytes
};

// Fixed disks, the system drive's space and the read rating's score.
struct DiskInfo {
  std::vector<DiskEntry> disks;
  std::uint64_t hardDiskSumSize = 0;  // MB of 1,000,000 bytes
  int hardDiskSizeScore = 0;
  int hardDiskSpeedScore = 0;
  std::int64_t systemDiskSize = 0;            // MB of 1,048,576 bytes
  std::int64_t systemDiskRemainingSpace = 0;  // MB of 1,048,576 bytes free to the caller
  int systemDiskRemainingSpaceScore = 0;
};

// One physical wired or wireless adapter. The fields after `signal` are filled by the network
// tests.
struct NetworkCard {
  std::string description;
  int connected = 0;
  int speed = 0;   // Mbit/s
  int signal = 0;  // percent, wireless only
  std::string ipAddress;
  std::string subnetMask;
  std::string defaultIPGateway;
  std::vector<std::string> dnsServers;
  std::string networkPrefix;
};

// What the program shows of one adapter.
struct NetworkCardSummary {
  std::string networkCardName;
  int networkCardSpeed = 0;  // the card's speed when connected, else 0
  int signalValue = 0;
  int isWired = 0;
};

// One resolver timed by ping from one adapter.
struct DnsProbeResult {
  std::string dnsAddress;
  int minimum = 0;  // ms
  int maximum = 0;  // ms
  int average = 0;  // ms
  int lost = 0;     // lost echo requests
};

// The DNS test of one adapter: the test resolvers and the adapter's own.
struct DnsTestEntry {
  std::string networkCardName;
  std::string ipAddress;  // the ping source
  std::vector<DnsProbeResult> testDns;
  std::vector<DnsProbeResult> localDns;
};

// The DNS test of every adapter, and whether the DNS was optimised before.
struct DnsTestInfo {
  std::vector<DnsTestEntry> wiredEntries;
  std::vector<DnsTestEntry> wirelessEntries;
  int optimize = 0;
};

// One adapter's new DNS server list, passed by value to SetNetworkCardDNS(Ex).
struct DnsSettingRequest {
  std::string adapterName;                // the DNS test's networkCardName
  std::vector<std::string> dnsAddresses;  // IPv4, preferred first
};

// Ten pings from one adapter to its gateway.
struct RouterDelayEntry {
  std::string networkCardName;
  std::string ipAddress;
  std::string defaultIPGateway;
  int minimum = 0;  // ms
  int maximum = 0;  // ms
  int average = 0;  // ms
  int lost = 0;     // out of 10
  int hostToRouterScore = 0;
};

// The devices found on one adapter's /24 network.
struct LanDevicesEntry {
  std::string networkCardName;
  std::vector<std::string> devicesAddress;  // in the order of the ARP listing
  int numberLanDevicesScore = 0;
  // Addresses of the sweep whose ping could not be started, even when tried again: a device
  // there may be missing from devicesAddress. 0 on a machine that could run every ping.
  int unsweptAddresses = 0;
};

// The download speed test: speeds as "2.345MB" (MiB/s) and "18.760Mbps" (Mibit/s).
struct DownloadSpeedInfo {
  std::string maxDownloadSpeed;
  std::string minDownloadSpeed;
  std::string avgDownloadSpeed;
  std::string bandwidthSpeed;
  int downloadSpeedScore = 0;
};

// Codes written to ProbeError, by export. Their messages are the library's fixed texts in code
// page 936 (GBK bytes). A code stands for one failure of its export only: 2 means one thing to
// GetHostInfomation and another to GetNumberLanDevices.
namespace netprobe {
// Every checking export and both uploads: none of the presence-check hosts answered.
inline constexpr int kNoNetwork = 100;
// InitDll: libcurl could not be set up ("初始化CURL失败").
inline constexpr int kCurlInitFailed = 1;
// Every probe: a command did not run, or the probe could not run at all.
inline constexpr int kCommandFailed = 1;
// GetHostInfomation, GetCPUInfo (the name), GetMemoryInfo, GetHardDiskInfo: the answer could not
// be read (no disk found, for the disks).
inline constexpr int kAnswerUnreadable = 2;
// GetSystemVersionInfo: no version could be read; a version older than Windows 7 or unknown.
inline constexpr int kSystemVersionUnreadable = 2;
inline constexpr int kSystemUnsupported = 3;
// GetCPUInfo's numbers, each as a pair: its command did not run, its answer could not be read.
// The export still returns 1 when only numbers failed.
inline constexpr int kCpuClockSpeedNotRun = 3;
inline constexpr int kCpuClockSpeedUnreadable = 4;
inline constexpr int kCpuCoresNotRun = 5;
inline constexpr int kCpuCoresUnreadable = 6;
inline constexpr int kCpuThreadsNotRun = 7;
inline constexpr int kCpuThreadsUnreadable = 8;
inline constexpr int kCpuL2CacheNotRun = 9;
inline constexpr int kCpuL2CacheUnreadable = 10;
inline constexpr int kCpuL3CacheNotRun = 11;
inline constexpr int kCpuL3CacheUnreadable = 12;
// GetNetworkDownloadSpeed: the transfer failed ("网络测速失败").
inline constexpr int kSpeedTestFailed = 1;
// GetMicrophoneTest, GetCameraTest: the tester could not be started or gave no verdict.
inline constexpr int kDeviceTestFailed = 2;
// GetHostToRouterDelayInfo: no adapter; no adapter with a gateway that answered.
inline constexpr int kRouterNoAdapters = 1;
inline constexpr int kRouterNoEntry = 2;
// GetNumberLanDevices: no adapter; no device found; arp -a did not run.
inline constexpr int kLanNoAdapters = 1;
inline constexpr int kLanNothingFound = 2;
inline constexpr int kLanArpFailed = 3;
// SetNetworkCardDNS(Ex): the adapter is unknown; an address or connection name is refused
// before any command runs; netsh failed.
inline constexpr int kDnsAdapterNotFound = 1;
inline constexpr int kDnsRefused = 2;
inline constexpr int kDnsCommandFailed = 3;
// UploadJsonData, UploadDNSJsonData: what the server's answer or the transfer came to. 1 and 3
// count as success (the export returns 1); any other is written to the error.
inline constexpr int kUploadAnswerUnreadable = 0;
inline constexpr int kUploadAdded = 1;
inline constexpr int kUploadAddFailed = 2;
inline constexpr int kUploadUnknownCode = 3;
inline constexpr int kUploadTransferFailed = 4;
inline constexpr int kUploadNoHandle = 5;
}  // namespace netprobe

// Initialises libcurl. 1, or 0 with code 1 "初始化CURL失败".
NETPROBE_API int InitDll(ProbeError* error);

// Cleans up libcurl and destroys the engine. A second call does nothing; no other export may be
// called afterwards.
NETPROBE_API void ReleaseDllRes();

// 1 when one of the seven presence-check hosts answers a ping, else 0.
NETPROBE_API int GetNetworkState();

// Each of the following first checks for a network (code 100 when there is none) and hands out
// the engine's record on success.
NETPROBE_API int GetHostInfomation(const HostInfo** info, ProbeError* error);
NETPROBE_API int GetSystemVersionInfo(const SystemInfo** info, ProbeError* error);
// Also 1 when only some numbers failed; their failure is then written to `error`.
NETPROBE_API int GetCPUInfo(const CpuInfo** info, ProbeError* error);
NETPROBE_API int GetMemoryInfo(const MemoryInfo** info, ProbeError* error);
NETPROBE_API int GetHardDiskInfo(const DiskInfo** info, ProbeError* error);
// Wired summaries first, then wireless ones.
NETPROBE_API int GetLanAndWlanNetworkCardInfo(const std::vector<NetworkCardSummary>** summaries,
                                              ProbeError* error);

// The DNS test: each adapter's addresses, gateway and DNS servers, and the test resolvers timed.
NETPROBE_API int GetDNSTestnfo(const DnsTestInfo** info, ProbeError* error);

// Rewrites one adapter's DNS server list (no presence check).
NETPROBE_API int SetNetworkCardDNS(DnsSettingRequest request, ProbeError* error);
NETPROBE_API int SetNetworkCardDNSEx(std::vector<DnsSettingRequest> requests, ProbeError* error);

// Ten pings to each gateway. `wired` receives routerDelayWired; routerDelayWireless follows it.
NETPROBE_API int GetHostToRouterDelayInfo(const std::vector<RouterDelayEntry>** wired,
                                          ProbeError* error);

// A ping sweep of each /24 network and the ARP table. `wired` receives lanDevicesWired;
// lanDevicesWireless follows it.
NETPROBE_API int GetNumberLanDevices(const std::vector<LanDevicesEntry>** wired, ProbeError* error);

// A download of at most 20 seconds from the speed-test server.
NETPROBE_API int GetNetworkDownloadSpeed(const DownloadSpeedInfo** info, ProbeError* error);

// Builds and posts the report; `reportNumber` (256 wide characters) receives its number.
NETPROBE_API int UploadJsonData(wchar_t* reportNumber, ProbeError* error);
// Updates the posted report with the DNS optimisation state.
NETPROBE_API int UploadDNSJsonData(ProbeError* error);

// The microphone and camera verdicts (no presence check).
NETPROBE_API int GetMicrophoneTest(const int** state, ProbeError* error);
NETPROBE_API int SetMicrophoneTestResult(int result);
NETPROBE_API int GetCameraTest(const int** state, ProbeError* error);
NETPROBE_API int SetCameraTestResult(int result);
