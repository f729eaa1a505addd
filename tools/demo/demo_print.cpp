// The driver's shared printing (see demo_print.h).
#include "demo_print.h"

#include "kestrel/codepage.h"

namespace {

// The libraries' own messages are Chinese in code page 936 whatever the system's page is.
constexpr unsigned kMessageCodePage = 936;

}  // namespace

std::string AnsiToUtf8(const std::string& text) {
  static const auto pages = kestrel::MakeSystemCodePage();
  return pages->AnsiToUtf8(text);
}

void PrintError(const ProbeError& error) {
  static const auto messagePages = kestrel::MakeFixedCodePage(kMessageCodePage, kMessageCodePage);
  std::printf("  error %d: %s\n", error.code, messagePages->AnsiToUtf8(error.message).c_str());
}

void PrintText(const char* field, const std::string& value) {
  std::printf("  %-32s %s\n", field, AnsiToUtf8(value).c_str());
}

void PrintNumber(const char* field, long long value) {
  std::printf("  %-32s %lld\n", field, value);
}

void PrintScored(const char* field, long long value, int score) {
  std::printf("  %-32s %lld (score %d)\n", field, value, score);
}

void Print(const HostInfo& host) {
  PrintText("hostTypeName", host.hostTypeName);
  PrintText("serialNumber", host.serialNumber);
  PrintText("manufacturer", host.manufacturer);
}

void Print(const SystemInfo& system) {
  PrintText("systemName", system.systemName);
  PrintText("systemVersion", system.systemVersion);
  PrintNumber("systemVersionNumber", system.systemVersionNumber);
}

void Print(const CpuInfo& cpu) {
  PrintText("cpuName", cpu.cpuName);
  PrintScored("maxClockSpeed", cpu.maxClockSpeed, cpu.maxClockSpeedScore);
  PrintScored("numberOfCores", cpu.numberOfCores, cpu.numberOfCoresScore);
  PrintScored("numberOfLogicalProcessors", cpu.numberOfLogicalProcessors,
              cpu.numberOfLogicalProcessorsScore);
  PrintScored("l2CacheSize", cpu.l2CacheSize, cpu.l2CacheSizeScore);
  PrintScored("l3CacheSize", cpu.l3CacheSize, cpu.l3CacheSizeScore);
  PrintNumber("cpuUtilization", cpu.cpuUtilization);
}

void Print(const MemoryInfo& memory) {
  PrintScored("memorySumSize", static_cast<long long>(memory.memorySumSize),
              memory.memorySumSizeScore);
  PrintScored("speed", memory.speed, memory.speedScore);
  PrintScored("memoryOccupancy", memory.memoryOccupancy, memory.memoryOccupancyScore);
  PrintScored("memoryNumber", memory.memoryNumber, memory.memoryNumberScore);
}

void Print(const DiskInfo& disk) {
  for (const DiskEntry& entry : disk.disks) {
    std::printf("  disk %-27s %lld MB\n", AnsiToUtf8(entry.hardDiskName).c_str(),
                static_cast<long long>(entry.size));
  }
  PrintScored("hardDiskSumSize", static_cast<long long>(disk.hardDiskSumSize),
              disk.hardDiskSizeScore);
  PrintNumber("hardDiskSpeedScore", disk.hardDiskSpeedScore);
  PrintNumber("systemDiskSize", disk.systemDiskSize);
  PrintScored("systemDiskRemainingSpace", disk.systemDiskRemainingSpace,
              disk.systemDiskRemainingSpaceScore);
}

void Print(const std::vector<NetworkCardSummary>& cards) {
  for (const NetworkCardSummary& card : cards) {
    std::printf("  %-7s %-40s %d Mbit/s, signal %d%%\n", card.isWired ? "wired" : "wireless",
                AnsiToUtf8(card.networkCardName).c_str(), card.networkCardSpeed, card.signalValue);
  }
}
