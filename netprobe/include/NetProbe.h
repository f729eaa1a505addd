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

#if defined(_WIN32)
#if defined(NETPROBE_BUILDING)
#define NETPROBE_API extern "C" __declspec(dllexport)
#else
#define NETPROBE_API extern "C" __declspec(dllimport)
#endif
#else
#define NETPROBE_API extern "C" __attribute__((visibility("default")))
#endif

// The error out-parameter. The caller creates it cleared and owns it; the library writes it only
// on a failure and never clears it. Code 100 always means that no network was found.
struct ProbeError {
  int code = 0;
  std::string message;  // Chinese text in the ANSI code page (936)
};

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
