// The computer's model, serial number and maker: the product listing parser against recorded
// wmic output, and the probe and its export on recorded machines.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "NetProbe.h"
#include "dll/engine_instance.h"
#include "probe_fixtures.h"
#include "probes/host/host_probe.h"
#include "probes/host/product_listing.h"
#include "support/fake_machine.h"
#include "support/offline_export.h"
#include "support/testdata.h"

namespace kestrel::test {
namespace {

using netprobe::ParseProductListing;

constexpr const wchar_t kListingCommand[] = L"wmic CSPRODUCT list full";

// A record the parser must leave alone where it finds nothing.
HostInfo Untouched() {
  return HostInfo{"old model", "old serial", "old maker"};
}

struct ListingCase {
  const char* fixture;
  const char* serialNumber;
  const char* manufacturer;
  const char* model;
};

const ListingCase kListings[] = {
    // The maker that keeps the model in the version, upper case as most firmware writes it.
    {"outputs/host/zh-desktop-tarvos.txt", "PC1K7Q2M", "TARVOS", "QiXing M720t-N000"},
    // Every other maker: the model is the product name; an empty version is no matter.
    {"outputs/host/en-laptop-dell.txt", "7HQK8R2", "Dell Inc.", "Latitude 7490"},
    // Lower case in the firmware still counts as that maker.
    {"outputs/host/en-laptop-tarvos-lowercase.txt", "PF2W9XKD", "tarvos", "TravelBook T14 Gen 2i"},
    // That maker without a Version= line: no model, but a successful parse.
    {"outputs/host/en-desktop-tarvos-no-version.txt", "MJ0A3B7C", "TARVOS", ""},
};

TEST(ProductListingTest, ReadsSerialMakerAndModelOfRecordedMachines) {
  for (const ListingCase& c : kListings) {
    HostInfo info = Untouched();
    EXPECT_TRUE(ParseProductListing(ReadFixture(c.fixture), info)) << c.fixture;
    EXPECT_EQ(info.serialNumber, c.serialNumber) << c.fixture;
    EXPECT_EQ(info.manufacturer, c.manufacturer) << c.fixture;
    EXPECT_EQ(info.hostTypeName, c.model) << c.fixture;
  }
}

TEST(ProductListingTest, LineEndsOtherThanCrCrLfGiveTheSameRecord) {
  const std::vector<std::pair<std::string, std::string>> variants = {
      {"\r\r\n", "\r\n"},      // a tool that writes plain CR LF
      {"\r\r\n", "\r\r\r\n"},  // a stray CR more
      {"\r\r\n", " \r \r\n"},  // blanks mixed into the line end
      {"=", "= "},             // a blank after every equals sign
  };
  for (const ListingCase& c : kListings) {
    for (const auto& [from, to] : variants) {
      const std::string text = ReplaceAll(ReadFixture(c.fixture), from, to);
      HostInfo info;
      EXPECT_TRUE(ParseProductListing(text, info)) << c.fixture;
      EXPECT_EQ(info.serialNumber, c.serialNumber) << c.fixture;
      EXPECT_EQ(info.manufacturer, c.manufacturer) << c.fixture;
      EXPECT_EQ(info.hostTypeName, c.model) << c.fixture;
    }
  }
}

TEST(ProductListingTest, WithoutACompleteSerialLineNothingIsWritten) {
  const std::vector<std::string> texts = {
      "",
      ReadFixture("outputs/host/en-no-instances.txt"),
      // A lone LF or CR does not end the line.
      "IdentifyingNumber=7HQK8R2",
      "IdentifyingNumber=7HQK8R2\r",
      "IdentifyingNumber=7HQK8R2\n",
      // Lower-case key: wmic never writes it, and keys are searched as they are.
      "identifyingnumber=7HQK8R2\r\r\n",
  };
  for (const std::string& text : texts) {
    HostInfo info = Untouched();
    EXPECT_FALSE(ParseProductListing(text, info)) << text;
    EXPECT_EQ(info.serialNumber, "old serial") << text;
    EXPECT_EQ(info.manufacturer, "old maker") << text;
    EXPECT_EQ(info.hostTypeName, "old model") << text;
  }
}

TEST(ProductListingTest, TruncatedListingKeepsWhatPrecedesTheCut) {
  struct Cut {
    const char* before;  // the listing ends just before the first occurrence of this text
    bool parsed;
    const char* manufacturer;
    const char* model;
  };
  const std::string listing = ReadFixture("outputs/host/en-laptop-dell.txt");
  const Cut cuts[] = {
      {"IdentifyingNumber=", false, "old maker", "old model"},
      {"\r\r\nName=", false, "old maker", "old model"},
      {"\r\nName=", false, "old maker", "old model"},  // CR without its LF
      {"Name=", true, "old maker", ""},
      {"itude 7490", true, "old maker", ""},  // the name line without its end
      {"Vendor=", true, "old maker", "Latitude 7490"},
      {"Version=", true, "Dell Inc.", "Latitude 7490"},
  };
  for (const Cut& cut : cuts) {
    const std::size_t end = listing.find(cut.before);
    ASSERT_NE(end, std::string::npos) << cut.before;
    HostInfo info = Untouched();
    EXPECT_EQ(ParseProductListing(listing.substr(0, end), info), cut.parsed) << cut.before;
    EXPECT_EQ(info.serialNumber, cut.parsed ? "7HQK8R2" : "old serial") << cut.before;
    EXPECT_EQ(info.manufacturer, cut.manufacturer) << cut.before;
    EXPECT_EQ(info.hostTypeName, cut.parsed ? cut.model : "old model") << cut.before;
  }
}

TEST(ProductListingTest, KeysAreFoundOnlyAfterTheOnesBeforeThem) {
  const std::string listing = ReadFixture("outputs/host/zh-desktop-tarvos.txt");
  const std::string vendorLine = "Vendor=TARVOS\r\r\n";
  const std::string nameLine = "Name=10SQA00KCW\r\r\n";
  ASSERT_NE(listing.find(vendorLine), std::string::npos);
  ASSERT_NE(listing.find(nameLine), std::string::npos);

  // The maker's line moved in front of the serial number is not seen: no maker, and the model
  // falls back to the product name.
  const std::string vendorFirst = vendorLine + ReplaceAll(listing, vendorLine, "");
  HostInfo info;
  ASSERT_TRUE(ParseProductListing(vendorFirst, info));
  EXPECT_EQ(info.serialNumber, "PC1K7Q2M");
  EXPECT_EQ(info.manufacturer, "");
  EXPECT_EQ(info.hostTypeName, "10SQA00KCW");

  // The name moved behind the version: the version is then passed over while looking for the
  // name, so the maker and the version are both missed.
  const std::string nameLast = ReplaceAll(listing, nameLine, "") + nameLine;
  info = HostInfo{};
  ASSERT_TRUE(ParseProductListing(nameLast, info));
  EXPECT_EQ(info.manufacturer, "");
  EXPECT_EQ(info.hostTypeName, "10SQA00KCW");
}

TEST(ProductListingTest, SeveralMegabytesAroundTheListingAreScannedThrough) {
  // Lines the scan has to walk past on its way to the serial number, then blank lines behind.
  std::string filler;
  while (filler.size() < (3u << 20)) {
    filler += "Caption=Computer System Product\r\r\n";
  }
  const std::string padding(4u << 20, '\n');
  const std::string listing = ReadFixture("outputs/host/en-laptop-dell.txt");

  HostInfo info;
  ASSERT_TRUE(ParseProductListing(filler + listing + padding, info));
  EXPECT_EQ(info.serialNumber, "7HQK8R2");
  EXPECT_EQ(info.hostTypeName, "Latitude 7490");
  EXPECT_FALSE(ParseProductListing(filler + padding, info));
}

struct ProfileCase {
  const char* profile;
  const char* serialNumber;
  const char* manufacturer;
  const char* model;
};

TEST(HostProbeTest, FillsTheRecordFromTheMachinesListing) {
  const ProfileCase cases[] = {
      {"desktop-zh", "PC1K7Q2M", "TARVOS", "QiXing M720t-N000"},
      {"laptop-en", "7HQK8R2", "Dell Inc.", "Latitude 7490"},
      {"host-tarvos-en", "PF2W9XKD", "tarvos", "TravelBook T14 Gen 2i"},
      {"host-noversion-en", "MJ0A3B7C", "TARVOS", ""},
  };
  for (const ProfileCase& c : cases) {
    FakeMachine machine(c.profile);
    auto engine = machine.MakeEngine();
    SeedRecords(*engine, [&](netprobe::ProbeRecords& r) {
      r.hostInfo.hostTypeName = "from an earlier run";
    });
    ProbeError error;

    EXPECT_EQ(engine->ProbeHost(&error), 1) << c.profile;
    EXPECT_EQ(engine->records().hostInfo.serialNumber, c.serialNumber) << c.profile;
    EXPECT_EQ(engine->records().hostInfo.manufacturer, c.manufacturer) << c.profile;
    EXPECT_EQ(engine->records().hostInfo.hostTypeName, c.model) << c.profile;
    EXPECT_EQ(machine.runner.calls(), std::vector<std::wstring>{kListingCommand}) << c.profile;
    EXPECT_EQ(error.code, 0) << c.profile;
  }
}

TEST(HostProbeTest, FailuresEmptyTheModelAndKeepTheRest) {
  struct Case {
    const char* profile;
    bool starts;
    int code;
    const char* message;
  };
  const Case cases[] = {
      {"laptop-en", false, 1, "获取主机类型失败"},
      {"host-broken-wmi-en", true, 2, "解析主机类型失败"},
  };
  for (const Case& c : cases) {
    FakeMachine machine(c.profile);
    if (!c.starts) {
      machine.runner.FailToStart(kListingCommand);
    }
    auto engine = machine.MakeEngine();
    SeedRecords(*engine, [&](netprobe::ProbeRecords& r) { r.hostInfo = Untouched(); });
    ProbeError error;

    EXPECT_EQ(engine->ProbeHost(&error), 0) << c.profile;
    EXPECT_EQ(error.code, c.code) << c.profile;
    EXPECT_EQ(error.message, c.message) << c.profile;
    EXPECT_EQ(engine->records().hostInfo.hostTypeName, "") << c.profile;
    EXPECT_EQ(engine->records().hostInfo.serialNumber, "old serial") << c.profile;
    EXPECT_EQ(engine->records().hostInfo.manufacturer, "old maker") << c.profile;
    EXPECT_EQ(machine.runner.calls(), machine.runner.WithRetries({kListingCommand})) << c.profile;
  }
}

using HostExportTest = ExportTest;

TEST_F(HostExportTest, HandsOutTheSameRecordRefilledOnEachCall) {
  InstallMachine("laptop-en");
  const HostInfo* first = nullptr;
  const HostInfo* second = nullptr;
  ProbeError error;

  ASSERT_EQ(GetHostInfomation(&first, &error), 1);
  ASSERT_NE(first, nullptr);
  SeedRecords(*netprobe::Engine(), [&](netprobe::ProbeRecords& r) { r.hostInfo = HostInfo{}; });
  ASSERT_EQ(GetHostInfomation(&second, &error), 1);
  EXPECT_EQ(second, first);
  EXPECT_EQ(second->hostTypeName, "Latitude 7490");
  EXPECT_EQ(second->serialNumber, "7HQK8R2");
}

TEST_F(HostExportTest, OfflineLeavesTheRecordAndRunsNoListing) {
  FakeMachine& machine = InstallMachine("offline-zh");
  SeedRecords(*netprobe::Engine(), [&](netprobe::ProbeRecords& r) { r.hostInfo = Untouched(); });

  ExpectRefusedOffline(GetHostInfomation);
  const HostInfo& kept = netprobe::Engine()->records().hostInfo;
  EXPECT_EQ(kept.hostTypeName, "old model");
  EXPECT_EQ(kept.serialNumber, "old serial");
  EXPECT_EQ(kept.manufacturer, "old maker");
  for (const std::wstring& call : machine.runner.calls()) {
    EXPECT_EQ(call.rfind(L"ping ", 0), 0u);
  }
}

}  // namespace
}  // namespace kestrel::test
