// The report document: every member in the server's order, values as the records hold them,
// text values escaped on characters of the system's code page.
#include <gtest/gtest.h>
#include <json/json.h>

#include <memory>
#include <string>
#include <vector>

#include "network/report/json_text.h"
#include "network/report/report_json.h"
#include "support/codepages.h"
#include "support/fake_machine.h"
#include "support/report_engine.h"

namespace kestrel::test {
namespace {

const std::vector<std::string> kTopLevelKeys = {"Manufacturer",
                                                "SerialNumber",
                                                "HostTypeName",
                                                "SystName",
                                                "SystemVersion",
                                                "CurSystemVersionNumber",
                                                "CPUName",
                                                "MaxClockSpeed",
                                                "MaxClockSpeedScore",
                                                "NumberOfCores",
                                                "NumberOfCoresScore",
                                                "NumberOfLogicalProcessors",
                                                "NumberOfLogicalProcessorsScore",
                                                "L2CacheSize",
                                                "L2CacheSizeScore",
                                                "L3CacheSize",
                                                "L3CacheSizeScore",
                                                "CPUUtilization",
                                                "MemorySumSize",
                                                "MemorySumSizeScore",
                                                "Speed",
                                                "SpeedScore",
                                                "MemoryOccupancy",
                                                "MemoryOccupancyScore",
                                                "MemoryNumber",
                                                "MemoryNumberScore",
                                                "HardDiskInfo",
                                                "HardDiskSumSize",
                                                "HardDiskSizeScore",
                                                "HardDiskSpeedScore",
                                                "SystemDiskSize",
                                                "SystemDiskRemainingSpace",
                                                "SystemDiskRemainingSpaceScore",
                                                "NetworkCardInfo",
                                                "DNSTestInfo",
                                                "Optimize",
                                                "HostToRouterDelayInfo",
                                                "NumberLanDevicesInfo",
                                                "MaxDownloadSpeed",
                                                "MinDownloadSpeed",
                                                "AvgDownloadSpeed",
                                                "BandwidthSpeed",
                                                "DownloadSpeedScore",
                                                "MicrophoneState",
                                                "CameraState"};

// The keys of each object in the document, in the order written, as "path:key" where the path
// is the nesting depth; a walk over valid UTF-8 JSON text.
std::vector<std::string> KeysAtDepth(const std::string& json, int wanted) {
  std::vector<std::string> keys;
  int depth = 0;
  for (std::size_t i = 0; i < json.size(); ++i) {
    const char c = json[i];
    if (c == '"') {
      std::string text;
      for (++i; i < json.size() && json[i] != '"'; ++i) {
        if (json[i] == '\\') {
          ++i;
        }
        text += json[i];
      }
      if (i + 1 < json.size() && json[i + 1] == ':' && depth == wanted) {
        keys.push_back(text);
      }
    } else if (c == '{' || c == '[') {
      ++depth;
    } else if (c == '}' || c == ']') {
      --depth;
    }
  }
  return keys;
}

Json::Value Parse(const std::string& utf8) {
  Json::CharReaderBuilder builder;
  builder["failIfExtra"] = true;
  builder["strictRoot"] = true;
  std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
  Json::Value root;
  std::string errors;
  EXPECT_TRUE(reader->parse(utf8.data(), utf8.data() + utf8.size(), &root, &errors))
      << errors << "\n"
      << utf8;
  return root;
}

class ReportJsonTest : public ::testing::Test {
 protected:
  // The document as sent: built on a Chinese system and converted to UTF-8.
  Json::Value BuildAndParse(std::string* utf8 = nullptr) {
    const std::string document = netprobe::BuildReportJson(engine_->records(), *machine_.codePage);
    const std::string sent = machine_.codePage->AnsiToUtf8(document);
    if (utf8 != nullptr) {
      *utf8 = sent;
    }
    return Parse(sent);
  }
  std::string Utf8(const std::string& ansi) { return machine_.codePage->AnsiToUtf8(ansi); }

  FakeMachine machine_{"connected-zh", 936};
  std::unique_ptr<netprobe::ProbeEngine> engine_ = machine_.MakeEngine();
};

TEST_F(ReportJsonTest, EveryKeyInOrderWithTheRecordsValues) {
  FillLikeAFullRun(*engine_);
  std::string sent;
  const Json::Value report = BuildAndParse(&sent);
  EXPECT_EQ(KeysAtDepth(sent, 1), kTopLevelKeys);
  EXPECT_EQ(sent.front(), '{');
  for (const char* spaced : {": ", ", ", "{ ", "[ ", " }", " ]", "\n"}) {
    EXPECT_EQ(sent.find(spaced), std::string::npos) << "no whitespace between tokens";
  }

  const netprobe::ProbeRecords& e = engine_->records();
  EXPECT_EQ(report["Manufacturer"].asString(), e.hostInfo.manufacturer);
  EXPECT_EQ(report["SerialNumber"].asString(), e.hostInfo.serialNumber);
  EXPECT_EQ(report["HostTypeName"].asString(), e.hostInfo.hostTypeName);
  EXPECT_EQ(report["SystName"].asString(), Utf8(e.systemInfo.systemName));
  EXPECT_EQ(report["SystemVersion"].asString(), e.systemInfo.systemVersion);
  EXPECT_EQ(report["CurSystemVersionNumber"].asInt(), 10);
  EXPECT_EQ(report["CPUName"].asString(), e.cpuInfo.cpuName);
  const std::vector<std::pair<const char*, int>> numbers = {{"MaxClockSpeed", 2904},
                                                            {"MaxClockSpeedScore", 8},
                                                            {"NumberOfCores", 6},
                                                            {"NumberOfCoresScore", 8},
                                                            {"NumberOfLogicalProcessors", 12},
                                                            {"NumberOfLogicalProcessorsScore", 10},
                                                            {"L2CacheSize", 1536},
                                                            {"L2CacheSizeScore", 8},
                                                            {"L3CacheSize", 12288},
                                                            {"L3CacheSizeScore", 10},
                                                            {"CPUUtilization", 17},
                                                            {"MemorySumSize", 16384},
                                                            {"MemorySumSizeScore", 10},
                                                            {"Speed", 2667},
                                                            {"SpeedScore", 8},
                                                            {"MemoryOccupancy", 43},
                                                            {"MemoryOccupancyScore", 9},
                                                            {"MemoryNumber", 2},
                                                            {"MemoryNumberScore", 10},
                                                            {"HardDiskSumSize", 1500307},
                                                            {"HardDiskSizeScore", 10},
                                                            {"HardDiskSpeedScore", 9},
                                                            {"SystemDiskSize", 476837},
                                                            {"SystemDiskRemainingSpace", 238418},
                                                            {"SystemDiskRemainingSpaceScore", 10},
                                                            {"Optimize", 1},
                                                            {"DownloadSpeedScore", 10},
                                                            {"MicrophoneState", 1},
                                                            {"CameraState", 2}};
  for (const auto& [key, value] : numbers) {
    EXPECT_TRUE(report[key].isIntegral()) << key;
    EXPECT_EQ(report[key].asInt64(), value) << key;
  }
  EXPECT_EQ(report["MaxDownloadSpeed"].asString(), "11.872MB");
  EXPECT_EQ(report["MinDownloadSpeed"].asString(), "9.105MB");
  EXPECT_EQ(report["AvgDownloadSpeed"].asString(), "10.944MB");
  EXPECT_EQ(report["BandwidthSpeed"].asString(), "87.552Mbps");

  const Json::Value& disks = report["HardDiskInfo"];
  ASSERT_EQ(disks.size(), 2u);
  EXPECT_EQ(disks[1]["HardDiskName"].asString(), "ST1000DM010-2EP102");
  EXPECT_EQ(disks[1]["description"].asInt64(), 1000202);

  const Json::Value& cards = report["NetworkCardInfo"];
  ASSERT_EQ(cards.size(), 2u);
  EXPECT_EQ(cards[0]["NetworkCardName"].asString(), e.cardSummaries[0].networkCardName);
  EXPECT_EQ(cards[0]["NetworkCardSpeed"].asInt(), 1000);
  EXPECT_EQ(cards[1]["SignalValue"].asInt(), 80);
  EXPECT_EQ(cards[0]["NetworkCardType"].asString(), Utf8("有线"));
  EXPECT_EQ(cards[1]["NetworkCardType"].asString(), Utf8("无线"));

  const Json::Value& dns = report["DNSTestInfo"];
  ASSERT_EQ(dns.size(), 2u);
  EXPECT_EQ(dns[1]["NetworkCardName"].asString(), "Intel(R) Wi-Fi 6 AX201 160MHz");
  EXPECT_EQ(dns[0]["IPAddress"].asString(), "192.168.1.23");
  ASSERT_EQ(dns[0]["LocalDNS"].size(), 2u);
  const Json::Value& local = dns[0]["LocalDNS"][1];
  EXPECT_EQ(local["DNSAddress"].asString(), "202.96.128.86");
  EXPECT_EQ(local["Minimum"].asInt(), 8);
  EXPECT_EQ(local["Maximum"].asInt(), 12);
  EXPECT_EQ(local["Average"].asInt(), 9);
  EXPECT_EQ(dns[0]["TestDNS"][1]["Lost"].asInt(), 1);

  const Json::Value& routers = report["HostToRouterDelayInfo"];
  ASSERT_EQ(routers.size(), 2u);
  EXPECT_EQ(routers[1]["DefaultIPGateway"].asString(), "192.168.31.1");
  EXPECT_EQ(routers[1]["iMaximum"].asInt(), 48);
  EXPECT_EQ(routers[1]["iAverage"].asInt(), 9);
  EXPECT_EQ(routers[1]["HostToRouterScore"].asInt(), 6);

  const Json::Value& lan = report["NumberLanDevicesInfo"];
  ASSERT_EQ(lan.size(), 2u);
  EXPECT_EQ(lan[0]["NumberLanDevicesScore"].asInt(), 4);
  ASSERT_EQ(lan[0]["LanEquipmentDevicesAddress"].size(), 40u);
  EXPECT_EQ(lan[0]["LanEquipmentDevicesAddress"][39]["DevicesAddress"].asString(), "192.168.1.139");
  EXPECT_EQ(lan[1]["LanEquipmentDevicesAddress"][2]["DevicesAddress"].asString(), "192.168.31.9");
}

// Runs in a row on one engine, as the program makes them during a lesson, each leave the same
// document: no record keeps the previous run's entries (a list appended to instead of
// replaced would double the LAN devices or the DNS entries).
TEST(ReportOfAProfileRunTest, RunsInARowLeaveTheSameDocument) {
  for (const auto& [profile, codePage] :
       {std::pair<const char*, unsigned>{"desktop-zh", 936}, {"laptop-en", 1252}}) {
    SCOPED_TRACE(profile);
    FakeMachine machine(profile, codePage);
    const auto engine = machine.MakeEngine();
    std::vector<std::string> documents;
    for (int run = 0; run < 4; ++run) {
      ASSERT_EQ(RunTheProbes(*engine), "") << "run " << run + 1;
      documents.push_back(netprobe::BuildReportJson(engine->records(), *machine.codePage));
    }
    // A profile may answer a command's first run apart from later ones: from the second run on.
    for (std::size_t run = 2; run < documents.size(); ++run) {
      EXPECT_EQ(documents[run], documents[1]) << "run " << run + 1;
    }
  }
}

// The document of a whole run on a recorded machine decodes to the records the probes stored.
TEST(ReportOfAProfileRunTest, RoundTripsThroughJsonCpp) {
  for (const auto& [profile, codePage] :
       {std::pair<const char*, unsigned>{"desktop-zh", 936}, {"laptop-en", 1252}}) {
    FakeMachine machine(profile, codePage);
    const auto engine = machine.MakeEngine();
    ASSERT_EQ(RunTheProbes(*engine), "") << profile;
    const std::string sent = machine.codePage->AnsiToUtf8(
        netprobe::BuildReportJson(engine->records(), *machine.codePage));
    EXPECT_EQ(KeysAtDepth(sent, 1), kTopLevelKeys) << profile;
    const Json::Value report = Parse(sent);
    const auto utf8 = [&](const std::string& ansi) { return machine.codePage->AnsiToUtf8(ansi); };
    const netprobe::ProbeRecords& e = engine->records();
    EXPECT_EQ(report["Manufacturer"].asString(), utf8(e.hostInfo.manufacturer));
    EXPECT_EQ(report["SystName"].asString(), utf8(e.systemInfo.systemName));
    EXPECT_EQ(report["CPUName"].asString(), utf8(e.cpuInfo.cpuName));
    EXPECT_EQ(report["MaxClockSpeed"].asInt(), e.cpuInfo.maxClockSpeed);
    EXPECT_EQ(report["MemorySumSize"].asUInt64(), e.memoryInfo.memorySumSize);
    EXPECT_EQ(report["SystemDiskRemainingSpace"].asInt64(), e.diskInfo.systemDiskRemainingSpace);
    ASSERT_EQ(report["HardDiskInfo"].size(), e.diskInfo.disks.size()) << profile;
    for (Json::ArrayIndex i = 0; i < report["HardDiskInfo"].size(); ++i) {
      EXPECT_EQ(report["HardDiskInfo"][i]["HardDiskName"].asString(),
                utf8(e.diskInfo.disks[i].hardDiskName));
    }
    ASSERT_EQ(report["NetworkCardInfo"].size(), e.cardSummaries.size());
    for (Json::ArrayIndex i = 0; i < e.cardSummaries.size(); ++i) {
      const Json::Value& card = report["NetworkCardInfo"][i];
      EXPECT_EQ(card["NetworkCardName"].asString(), utf8(e.cardSummaries[i].networkCardName));
      EXPECT_EQ(card["NetworkCardSpeed"].asInt(), e.cardSummaries[i].networkCardSpeed);
    }
    std::vector<DnsTestEntry> dns = e.dnsTestInfo.wiredEntries;
    dns.insert(dns.end(), e.dnsTestInfo.wirelessEntries.begin(),
               e.dnsTestInfo.wirelessEntries.end());
    ASSERT_EQ(report["DNSTestInfo"].size(), dns.size());
    ASSERT_FALSE(dns.empty());
    for (Json::ArrayIndex i = 0; i < dns.size(); ++i) {
      const Json::Value& entry = report["DNSTestInfo"][i];
      ASSERT_EQ(entry["LocalDNS"].size(), dns[i].localDns.size());
      for (Json::ArrayIndex j = 0; j < dns[i].localDns.size(); ++j) {
        EXPECT_EQ(entry["LocalDNS"][j]["DNSAddress"].asString(), dns[i].localDns[j].dnsAddress);
        EXPECT_EQ(entry["LocalDNS"][j]["Average"].asInt(), dns[i].localDns[j].average);
      }
      EXPECT_EQ(entry["TestDNS"].size(), dns[i].testDns.size());
    }
    EXPECT_EQ(report["HostToRouterDelayInfo"].size(),
              e.routerDelayWired.size() + e.routerDelayWireless.size());
    std::size_t devices = 0;
    for (const Json::Value& lan : report["NumberLanDevicesInfo"]) {
      devices += lan["LanEquipmentDevicesAddress"].size();
    }
    std::size_t recorded = 0;
    for (const auto* list : {&e.lanDevicesWired, &e.lanDevicesWireless}) {
      for (const LanDevicesEntry& entry : *list) {
        recorded += entry.devicesAddress.size();
      }
    }
    EXPECT_EQ(devices, recorded) << profile;
    EXPECT_EQ(report["CameraState"].asInt(), 2);
  }
}

TEST_F(ReportJsonTest, ObjectsKeepTheirMemberOrderAndPunctuation) {
  FillLikeAFullRun(*engine_);
  const std::string document = netprobe::BuildReportJson(engine_->records(), *machine_.codePage);
  for (const char* expected :
       {"\"HardDiskInfo\":[{\"HardDiskName\":\"Samsung SSD 970 EVO Plus 500GB\","
        "\"description\":500105},{",
        "\"NetworkCardInfo\":[{\"NetworkCardName\":\"Realtek PCIe GbE Family Controller\","
        "\"NetworkCardSpeed\":1000,\"SignalValue\":0,\"NetworkCardType\":\"有线\"},{",
        "\"LocalDNS\":[{\"DNSAddress\":\"192.168.1.1\",\"Minimum\":1,\"Maximum\":3,"
        "\"Average\":2,\"Lost\":0},{",
        "\"Lost\":1}]},{\"NetworkCardName\":\"Intel(R) Wi-Fi 6 AX201 160MHz\"",
        "\"Lost\":1}]}],\"Optimize\":1,\"HostToRouterDelayInfo\":[{",
        "\"Minimum\":1,\"iMaximum\":4,\"iAverage\":2,\"Lost\":0,\"HostToRouterScore\":10},{",
        "{\"NetworkCardName\":\"Intel(R) Wi-Fi 6 AX201 160MHz\",\"NumberLanDevicesScore\":10,"
        "\"LanEquipmentDevicesAddress\":[{\"DevicesAddress\":\"192.168.31.1\"},",
        "{\"DevicesAddress\":\"192.168.31.9\"}]}],\"MaxDownloadSpeed\":\"11.872MB\",",
        "\"MicrophoneState\":1,\"CameraState\":2}"}) {
    EXPECT_NE(document.find(expected), std::string::npos) << expected;
  }
  EXPECT_EQ(document.substr(document.size() - 16), "\"CameraState\":2}");
}

TEST_F(ReportJsonTest, AnEngineThatRanNothingStillHasEveryKey) {
  std::string sent;
  const Json::Value report = BuildAndParse(&sent);
  EXPECT_EQ(KeysAtDepth(sent, 1), kTopLevelKeys);
  for (const char* array : {"HardDiskInfo", "NetworkCardInfo", "DNSTestInfo",
                            "HostToRouterDelayInfo", "NumberLanDevicesInfo"}) {
    EXPECT_TRUE(report[array].isArray()) << array;
    EXPECT_EQ(report[array].size(), 0u) << array;
    EXPECT_NE(sent.find(std::string("\"") + array + "\":[]"), std::string::npos) << array;
  }
  EXPECT_EQ(report["Manufacturer"].asString(), "");
  EXPECT_EQ(report["CameraState"].asInt(), 0);
}

TEST_F(ReportJsonTest, NumbersAreSignExtendedAnd64BitValuesWhole) {
  SeedRecords(*engine_, [&](netprobe::ProbeRecords& r) { r.cpuInfo.cpuUtilization = -1; });
  SeedRecords(*engine_,
              [&](netprobe::ProbeRecords& r) { r.diskInfo.systemDiskSize = 9000000000000LL; });
  SeedRecords(*engine_, [&](netprobe::ProbeRecords& r) {
    r.memoryInfo.memorySumSize = 18446744073709551615ULL;
  });
  const std::string document = netprobe::BuildReportJson(engine_->records(), *machine_.codePage);
  EXPECT_NE(document.find("\"CPUUtilization\":-1,"), std::string::npos);
  EXPECT_NE(document.find("\"SystemDiskSize\":9000000000000,"), std::string::npos);
  EXPECT_NE(document.find("\"MemorySumSize\":18446744073709551615,"), std::string::npos);
}

TEST_F(ReportJsonTest, EntryWithoutTestResultsHasAnEmptyTestArray) {
  DnsTestEntry entry;
  entry.networkCardName = "eth";
  entry.localDns.push_back({"10.0.0.1", 1, 1, 1, 0});
  SeedRecords(*engine_,
              [&](netprobe::ProbeRecords& r) { r.dnsTestInfo.wirelessEntries = {entry}; });
  const std::string document = netprobe::BuildReportJson(engine_->records(), *machine_.codePage);
  EXPECT_NE(document.find("\"Lost\":0}],\"TestDNS\":[]}],\"Optimize\":0,"), std::string::npos)
      << document;
}

// Pairs the page has no character for: a converter that replaces only the lead byte would leave
// a trail byte 0x5C as a lone backslash and end the document there.
TEST_F(ReportJsonTest, GbkPairsWithoutACharacterKeepTheDocumentJson) {
  for (const std::string name :
       {"\xA5\x5C", "\xA5\x5C\"", "x\xFE\x5C\\", "\xD5\x5C\xA1\x5C", "\xA5\x5C\xA5"}) {
    SeedRecords(*engine_, [&](netprobe::ProbeRecords& r) {
      r.cardSummaries = {{name, 100, 0, 1}};
    });
    SeedRecords(*engine_, [&](netprobe::ProbeRecords& r) { r.hostInfo.manufacturer = name; });
    const Json::Value report = BuildAndParse();
    EXPECT_EQ(report["Manufacturer"].asString(),
              report["NetworkCardInfo"][0]["NetworkCardName"].asString());
    EXPECT_TRUE(report["CameraState"].isInt()) << "the document goes on to its end";
  }
}

TEST_F(ReportJsonTest, CardNamesAreEscapedAndDecodeToTheRecord) {
  const std::string name = "Card \"X\" C:\\net\ttab\x01";
  SeedRecords(*engine_, [&](netprobe::ProbeRecords& r) { r.cardSummaries = {{name, 100, 0, 1}}; });
  const std::string document = netprobe::BuildReportJson(engine_->records(), *machine_.codePage);
  EXPECT_NE(document.find("\"Card \\\"X\\\" C:\\\\net\\ttab\\u0001\""), std::string::npos)
      << document;
  EXPECT_EQ(BuildAndParse()["NetworkCardInfo"][0]["NetworkCardName"].asString(), name);
}

// The report's escaping, character by character in each code page.
TEST(JsonTextTest, EscapesOnCharactersOfTheCodePage) {
  struct Case {
    const char* what;
    unsigned codePage;
    std::string text;
    std::string json;
  };
  const std::vector<Case> cases = {
    // 誠 is D5 5C in GBK: its trail byte is the value of a backslash, yet no backslash.
    {"GBK pair with trail 0x5C", 936, "\xD5\x5C", "\"\xD5\x5C\""},
    {"GBK pair then a quote", 936, "\xD5\x5C\"", "\"\xD5\x5C\\\"\""},
    {"the same bytes in 1252", 1252, "\xD5\x5C", "\"\xD5\\\\\""},
    {"lead byte at the end", 936, "a\x81", "\"a?\""},
    {"lead byte before a quote", 936, "\x81\"", "\"?\\\"\""},
    {"lead byte before a control character", 936, "\x81\n", "\"?\\n\""},
    {"euro sign is one byte in 936", 936, "\x80\\", "\"\x80\\\\\""},
    {"every short escape", 1252, "\b\f\n\r\t", "\"\\b\\f\\n\\r\\t\""},
    {"other controls as \\u", 1252, std::string("\x00\x1F", 2), "\"\\u0000\\u001F\""},
    {"DEL and high bytes are kept", 1252, "\x7F\xE9", "\"\x7F\xE9\""},
    {"Shift-JIS pair with trail 0x5C", 932, "\x95\x5C", "\"\x95\x5C\""},
  // A5 5C lies in GBK's user-defined area: Windows gives it a private-use character, iconv none.
#if defined(_WIN32)
    {"user-defined GBK pair", 936, "a\xA5\x5C\"", "\"a\xA5\x5C\\\"\""},
#else
    {"GBK pair without a character", 936, "a\xA5\x5C\"", "\"a?\\\"\""},
    {"only the pair that lacks one", 936, "\xD5\x5C\xA5\x5C\xD5\x5C", "\"\xD5\x5C?\xD5\x5C\""},
    {"a lacking pair at the end", 936, "\\\xFE\x5C", "\"\\\\?\""},
#endif
  };
  for (const Case& c : cases) {
    const auto pages =
        MakeFixedCodePage(c.codePage, c.codePage == 936 || c.codePage == 932 ? c.codePage : 437);
    std::string out;
    netprobe::AppendJsonString(out, c.text, *pages);
    EXPECT_EQ(out, c.json) << c.what;
  }
}

TEST(ReportJsonWesternTest, CardTypesStayChineseOnAWesternSystem) {
  FakeMachine machine("connected-zh", 1252);
  auto engine = machine.MakeEngine();
  SeedRecords(*engine, [&](netprobe::ProbeRecords& r) {
    r.cardSummaries = {{"eth0", 100, 0, 1}, {"wlan0", 54, 60, 0}};
  });
  const std::string document = netprobe::BuildReportJson(engine->records(), *machine.codePage);
  EXPECT_EQ(document.find_first_of("\x80\x81\xC9\xCE\xCF\xDF"), std::string::npos);
  const Json::Value report = Parse(machine.codePage->AnsiToUtf8(document));
  EXPECT_EQ(report["NetworkCardInfo"][0]["NetworkCardType"].asString(), "\xE6\x9C\x89\xE7\xBA\xBF");
  EXPECT_EQ(report["NetworkCardInfo"][1]["NetworkCardType"].asString(), "\xE6\x97\xA0\xE7\xBA\xBF");
}

}  // namespace
}  // namespace kestrel::test
