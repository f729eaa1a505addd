#include "network/report/report_json.h"

#include <cstdint>
#include <string_view>
#include <vector>

#include "core/shared.h"
#include "network/report/json_text.h"

namespace netprobe {

namespace {

// Appends members of one object: the key, a colon and the value, commas between members.
class ObjectWriter {
 public:
  ObjectWriter(std::string& out, const ICodePage& pages) : out_(out), pages_(pages) { out_ += '{'; }
  ~ObjectWriter() { out_ += '}'; }
  ObjectWriter(const ObjectWriter&) = delete;
  ObjectWriter& operator=(const ObjectWriter&) = delete;

  void Text(std::string_view key, std::string_view value) {
    Key(key);
    AppendJsonString(out_, value, pages_);
  }
  // 32-bit values sign-extended, as the server reads every number as 64-bit.
  void Number(std::string_view key, int value) {
    Key(key);
    out_ += FormatInt64(static_cast<std::int64_t>(value));
  }
  void Number64(std::string_view key, std::int64_t value) {
    Key(key);
    out_ += FormatInt64(value);
  }
  void Unsigned64(std::string_view key, std::uint64_t value) {
    Key(key);
    out_ += std::to_string(value);
  }
  void Raw(std::string_view key, std::string_view json) {
    Key(key);
    out_ += json;
  }
  // The array's elements, each written by `write(out, element)`: the wired list, then the
  // wireless one.
  template <typename Element, typename Write>
  void Array(std::string_view key, const std::vector<Element>& first,
             const std::vector<Element>& second, Write write) {
    Key(key);
    out_ += '[';
    bool any = false;
    for (const std::vector<Element>* list : {&first, &second}) {
      for (const Element& element : *list) {
        if (any) {
          out_ += ',';
        }
        any = true;
        write(element);
      }
    }
    out_ += ']';
  }
  template <typename Element, typename Write>
  void Array(std::string_view key, const std::vector<Element>& list, Write write) {
    static const std::vector<Element> kNone;
    Array(key, list, kNone, write);
  }

 private:
  void Key(std::string_view key) {
    if (!first_) {
      out_ += ',';
    }
    first_ = false;
    out_ += '"';
    out_ += key;
    out_ += "\":";
  }

  std::string& out_;
  const ICodePage& pages_;
  bool first_ = true;
};

void WriteDnsServer(std::string& out, const ICodePage& pages, const DnsProbeResult& server) {
  ObjectWriter o(out, pages);
  o.Text("DNSAddress", server.dnsAddress);
  o.Number("Minimum", server.minimum);
  o.Number("Maximum", server.maximum);
  o.Number("Average", server.average);
  o.Number("Lost", server.lost);
}

void WriteDnsEntry(std::string& out, const ICodePage& pages, const DnsTestEntry& entry) {
  ObjectWriter o(out, pages);
  o.Text("NetworkCardName", entry.networkCardName);
  o.Text("IPAddress", entry.ipAddress);
  const auto server = [&](const DnsProbeResult& s) { WriteDnsServer(out, pages, s); };
  o.Array("LocalDNS", entry.localDns, server);
  o.Array("TestDNS", entry.testDns, server);
}

void WriteRouterEntry(std::string& out, const ICodePage& pages, const RouterDelayEntry& entry) {
  ObjectWriter o(out, pages);
  o.Text("NetworkCardName", entry.networkCardName);
  o.Text("IPAddress", entry.ipAddress);
  o.Text("DefaultIPGateway", entry.defaultIPGateway);
  o.Number("Minimum", entry.minimum);
  o.Number("iMaximum", entry.maximum);
  o.Number("iAverage", entry.average);
  o.Number("Lost", entry.lost);
  o.Number("HostToRouterScore", entry.hostToRouterScore);
}

void WriteLanEntry(std::string& out, const ICodePage& pages, const LanDevicesEntry& entry) {
  ObjectWriter o(out, pages);
  o.Text("NetworkCardName", entry.networkCardName);
  o.Number("NumberLanDevicesScore", entry.numberLanDevicesScore);
  o.Array("LanEquipmentDevicesAddress", entry.devicesAddress, [&](const std::string& address) {
    ObjectWriter device(out, pages);
    device.Text("DevicesAddress", address);
  });
}

}  // namespace

const char* CardTypeJson(int isWired, unsigned codePage) {
  if (codePage == 936) {
    return isWired != 0 ? "\"有线\"" : "\"无线\"";
  }
  return isWired != 0 ? "\"\\u6709\\u7EBF\"" : "\"\\u65E0\\u7EBF\"";
}

std::string BuildReportJson(const ProbeRecords& records, const ICodePage& pages) {
  const unsigned codePage = pages.AnsiCodePage();
  std::string out;
  out.reserve(4096);
  {
    ObjectWriter o(out, pages);
    o.Text("Manufacturer", records.hostInfo.manufacturer);
    o.Text("SerialNumber", records.hostInfo.serialNumber);
    o.Text("HostTypeName", records.hostInfo.hostTypeName);
    o.Text("SystName", records.systemInfo.systemName);
    o.Text("SystemVersion", records.systemInfo.systemVersion);
    o.Number("CurSystemVersionNumber", records.systemInfo.systemVersionNumber);

    const CpuInfo& cpu = records.cpuInfo;
    o.Text("CPUName", cpu.cpuName);
    o.Number("MaxClockSpeed", cpu.maxClockSpeed);
    o.Number("MaxClockSpeedScore", cpu.maxClockSpeedScore);
    o.Number("NumberOfCores", cpu.numberOfCores);
    o.Number("NumberOfCoresScore", cpu.numberOfCoresScore);
    o.Number("NumberOfLogicalProcessors", cpu.numberOfLogicalProcessors);
    o.Number("NumberOfLogicalProcessorsScore", cpu.numberOfLogicalProcessorsScore);
    o.Number("L2CacheSize", cpu.l2CacheSize);
    o.Number("L2CacheSizeScore", cpu.l2CacheSizeScore);
    o.Number("L3CacheSize", cpu.l3CacheSize);
    o.Number("L3CacheSizeScore", cpu.l3CacheSizeScore);
    o.Number("CPUUtilization", cpu.cpuUtilization);

    const MemoryInfo& memory = records.memoryInfo;
    o.Unsigned64("MemorySumSize", memory.memorySumSize);
    o.Number("MemorySumSizeScore", memory.memorySumSizeScore);
    o.Number("Speed", memory.speed);
    o.Number("SpeedScore", memory.speedScore);
    o.Number("MemoryOccupancy", memory.memoryOccupancy);
    o.Number("MemoryOccupancyScore", memory.memoryOccupancyScore);
    o.Number("MemoryNumber", memory.memoryNumber);
    o.Number("MemoryNumberScore", memory.memoryNumberScore);

    const DiskInfo& disk = records.diskInfo;
    o.Array("HardDiskInfo", disk.disks, [&](const DiskEntry& entry) {
      ObjectWriter d(out, pages);
      d.Text("HardDiskName", entry.hardDiskName);
      d.Number64("description", entry.size);
    });
    o.Unsigned64("HardDiskSumSize", disk.hardDiskSumSize);
    o.Number("HardDiskSizeScore", disk.hardDiskSizeScore);
    o.Number("HardDiskSpeedScore", disk.hardDiskSpeedScore);
    o.Number64("SystemDiskSize", disk.systemDiskSize);
    o.Number64("SystemDiskRemainingSpace", disk.systemDiskRemainingSpace);
    o.Number("SystemDiskRemainingSpaceScore", disk.systemDiskRemainingSpaceScore);

    o.Array("NetworkCardInfo", records.cardSummaries, [&](const NetworkCardSummary& card) {
      ObjectWriter c(out, pages);
      c.Text("NetworkCardName", card.networkCardName);
      c.Number("NetworkCardSpeed", card.networkCardSpeed);
      c.Number("SignalValue", card.signalValue);
      c.Raw("NetworkCardType", CardTypeJson(card.isWired, codePage));
    });
    o.Array("DNSTestInfo", records.dnsTestInfo.wiredEntries, records.dnsTestInfo.wirelessEntries,
            [&](const DnsTestEntry& entry) { WriteDnsEntry(out, pages, entry); });
    o.Number("Optimize", records.dnsTestInfo.optimize != 0 ? 1 : 0);
    o.Array("HostToRouterDelayInfo", records.routerDelayWired, records.routerDelayWireless,
            [&](const RouterDelayEntry& entry) { WriteRouterEntry(out, pages, entry); });
    o.Array("NumberLanDevicesInfo", records.lanDevicesWired, records.lanDevicesWireless,
            [&](const LanDevicesEntry& entry) { WriteLanEntry(out, pages, entry); });

    const DownloadSpeedInfo& speed = records.downloadSpeed;
    o.Text("MaxDownloadSpeed", speed.maxDownloadSpeed);
    o.Text("MinDownloadSpeed", speed.minDownloadSpeed);
    o.Text("AvgDownloadSpeed", speed.avgDownloadSpeed);
    o.Text("BandwidthSpeed", speed.bandwidthSpeed);
    o.Number("DownloadSpeedScore", speed.downloadSpeedScore);
    o.Number("MicrophoneState", records.microphoneState);
    o.Number("CameraState", records.cameraState);
  }
  return out;
}

}  // namespace netprobe
