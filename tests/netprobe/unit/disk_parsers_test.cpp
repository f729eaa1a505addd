// The disk probe's parsers against recorded wmic, PowerShell and WinSAT output, and against the
// ways that output can be cut short, reordered or padded.
#include "probes/disk/disk_parsers.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "probe_fixtures.h"
#include "support/records.h"
#include "support/testdata.h"

namespace kestrel::test {
namespace {

using netprobe::ParseDiskListing;
using netprobe::ParsePhysicalDiskListing;
using netprobe::ParseWinsatReadRating;

// The lines of one wmic disk block that the listing parser reads, in wmic's order.
std::string Block(const std::string& interfaceType, const std::string& model,
                  const std::string& size) {
  return "InterfaceType=" + interfaceType + "\r\r\nMaxMediaSize=\r\r\nModel=" + model +
         "\r\r\nSignature=\r\r\nSize=" + size + "\r\r\nTotalCylinders=60801\r\r\n\r\r\n";
}

enum class Parser { kListing, kPhysical };

struct ListingCase {
  Parser parser;
  const char* fixture;
  Disks expected;
};

const ListingCase kRecordedListings[] = {
    {Parser::kListing,
     "outputs/disk/wmic-diskdrive-desktop-zh.txt",
     {{"Samsung SSD 970 EVO Plus 500GB", 500105}, {"ST2000DM008-2FR102", 2000396}}},
    // The USB disk between the two internal ones is left out; the order stays.
    {Parser::kListing,
     "outputs/disk/wmic-diskdrive-laptop-en.txt",
     {{"SKhynix_HFS512GD9TNG-L2A0A", 512105}, {"ST1000LM035-1RK172", 1000202}}},
    {Parser::kListing, "outputs/disk/wmic-diskdrive-usb-only-en.txt", {}},
    // Each parser reads only its own form.
    {Parser::kListing, "outputs/disk/powershell-physicaldisk-usb-nvme-en.txt", {}},
    {Parser::kPhysical,
     "outputs/disk/powershell-physicaldisk-usb-nvme-en.txt",
     {{"INTEL SSDPEKNW512G8", 512110}}},
    {Parser::kPhysical, "outputs/disk/powershell-physicaldisk-usb-only-en.txt", {}},
    {Parser::kPhysical, "outputs/disk/wmic-diskdrive-laptop-en.txt", {}},
};

bool Parse(Parser parser, const std::string& text, std::vector<DiskEntry>& disks) {
  return parser == Parser::kListing ? ParseDiskListing(text, disks)
                                    : ParsePhysicalDiskListing(text, disks);
}

TEST(DiskListingTest, ReadsTheFixedDisksOfRecordedMachines) {
  for (const ListingCase& c : kRecordedListings) {
    std::vector<DiskEntry> disks;
    EXPECT_EQ(Parse(c.parser, ReadFixture(c.fixture), disks), !c.expected.empty()) << c.fixture;
    EXPECT_EQ(NamesAndSizes(disks), c.expected) << c.fixture;
  }
}

TEST(DiskListingTest, OtherLineEndsAndPaddingGiveTheSameDisks) {
  const std::vector<std::pair<std::string, std::string>> variants = {
      {"\r\r\n", "\r\n"},      // plain CR LF
      {"\r\r\n", "\r\r\r\n"},  // a stray CR more
      {"\r\n", " \r \r\n"},    // blanks mixed into the line end
      {"=", "=  "},            // blanks after the equals sign
      {" : ", " :    "},       // wider colon column
  };
  for (const ListingCase& c : kRecordedListings) {
    for (const auto& [from, to] : variants) {
      std::vector<DiskEntry> disks;
      Parse(c.parser, ReplaceAll(ReadFixture(c.fixture), from, to), disks);
      EXPECT_EQ(NamesAndSizes(disks), c.expected) << c.fixture << " with [" << to << "]";
    }
  }
}

TEST(DiskListingTest, ACutAnywhereKeepsTheDisksWhoseSizeLineEnded) {
  for (const ListingCase& c : kRecordedListings) {
    const std::string text = ReadFixture(c.fixture);
    for (std::size_t end = 0; end <= text.size(); ++end) {
      std::vector<DiskEntry> disks;
      const bool found = Parse(c.parser, text.substr(0, end), disks);
      const Disks got = NamesAndSizes(disks);
      ASSERT_LE(got.size(), c.expected.size()) << c.fixture << " cut at " << end;
      ASSERT_EQ(got, Disks(c.expected.begin(), c.expected.begin() + got.size()))
          << c.fixture << " cut at " << end;
      ASSERT_EQ(found, !got.empty()) << c.fixture << " cut at " << end;
    }
  }
}

TEST(DiskListingTest, SizeIsDecimalMegabytesCutTo32Bits) {
  const std::vector<std::pair<std::string, std::int64_t>> cases = {
      {"2000000000", 2000},
      {"2000999999", 2000},  // truncated, not rounded
      {"999999", 0},
      {"500107862016", 500107},    // byte counts beyond 32 bits are read whole
      {"  2000000000  \r", 2000},  // padding and a stray CR
      {"", 0},
      {"unknown", 0},
      {"12abc", 0},
      {"2147483647000000", 2147483647},
      {"2147483648000000", -2147483647 - 1},  // a count of megabytes beyond 32 bits wraps
      {"4294967296000000", 0},
      {"99999999999999999999999", 2077252342},  // saturates at 64 bits, then wraps
  };
  for (const auto& [size, expected] : cases) {
    std::vector<DiskEntry> disks;
    ASSERT_TRUE(ParseDiskListing(Block("IDE", "Disk", size), disks)) << size;
    EXPECT_EQ(disks[0].size, expected) << size;

    disks.clear();
    const std::string physical =
        "BusType            : SATA\r\nModel              : Disk\r\n"
        "PhysicalSectorSize : 4096\r\nSize               : " +
        size + "\r\n";
    ASSERT_TRUE(ParsePhysicalDiskListing(physical, disks)) << size;
    EXPECT_EQ(disks[0].size, expected) << size;
  }
}

TEST(DiskListingTest, KeysAreSoughtOnlyAfterTheOnesBeforeThem) {
  const std::string a = Block("IDE", "A", "1000000000");
  const std::string b = Block("SCSI", "B", "2000000000");
  const struct {
    const char* what;
    std::string text;
    Disks expected;
  } cases[] = {
      {"in order", a + b, {{"A", 1000}, {"B", 2000}}},
      // Without its own model the first disk takes the second's model and size.
      {"no model", ReplaceAll(a, "Model=A\r\r\n", "") + b, {{"B", 2000}}},
      {"no signature", ReplaceAll(a, "Signature=\r\r\n", "") + b, {{"A", 2000}}},
      // Past a misplaced signature the next "Size=" is the second disk's "MaxMediaSize=".
      {"size before signature",
       ReplaceAll(a, "Signature=\r\r\nSize=1000000000\r\r\n",
                  "Size=1000000000\r\r\nSignature=\r\r\n") +
           b,
       {{"A", 0}}},
      {"model before interface",
       ReplaceAll(a, "InterfaceType=IDE\r\r\nMaxMediaSize=\r\r\nModel=A",
                  "Model=A\r\r\nInterfaceType=IDE"),
       {}},
      // A key missing from the last disk ends the scan; the disks before it stay.
      {"last without size", a + ReplaceAll(b, "Size=", "Capacity="), {{"A", 1000}}},
      {"last size without line end", a + b.substr(0, b.find("\r\r\nTotal")), {{"A", 1000}}},
      {"usb padded", Block(" USB ", "U", "1") + a, {{"A", 1000}}},
      {"usb in other case", Block("usb", "U", "3000000") + a, {{"U", 3}, {"A", 1000}}},
      {"usb without more keys", "InterfaceType=USB\r\r\n" + a, {{"A", 1000}}},
      {"empty", "", {}},
  };
  for (const auto& c : cases) {
    std::vector<DiskEntry> disks;
    EXPECT_EQ(ParseDiskListing(c.text, disks), !c.expected.empty()) << c.what;
    EXPECT_EQ(NamesAndSizes(disks), c.expected) << c.what;
  }
}

TEST(DiskListingTest, PhysicalSectorSizeIsNotTakenForTheSize) {
  const std::string text = ReadFixture("outputs/disk/powershell-physicaldisk-usb-nvme-en.txt");
  std::vector<DiskEntry> disks;
  // Without the sector size line the scan has nothing to pass and fails on that disk.
  EXPECT_FALSE(
      ParsePhysicalDiskListing(ReplaceAll(text, "PhysicalSectorSize", "SectorBytes"), disks));
  EXPECT_TRUE(disks.empty());
}

TEST(DiskListingTest, SeveralMegabytesOfDisksAreAllRead) {
  const std::string listing = ReadFixture("outputs/disk/wmic-diskdrive-laptop-en.txt");
  std::string text;
  std::size_t copies = 0;
  for (; text.size() < (4u << 20); ++copies) {
    text += listing;
  }
  std::vector<DiskEntry> disks;
  ASSERT_TRUE(ParseDiskListing(text, disks));
  EXPECT_EQ(disks.size(), 2 * copies);
  EXPECT_EQ(disks.back().hardDiskName, "ST1000LM035-1RK172");

  disks.clear();
  EXPECT_FALSE(ParseDiskListing(std::string(4u << 20, '\n') + "InterfaceType=", disks));
}

TEST(WinsatRatingTest, ReadsTheRatingAfterTheSequentialReadThroughput) {
  const struct {
    const char* what;
    std::string text;
    bool found;
    double rating;
  } cases[] = {
      {"english", ReadFixture("outputs/disk/winsat-disk-en.txt"), true, 7.9},
      {"chinese", ReadFixture("outputs/disk/winsat-disk-zh.txt"), true, 9.1},
      {"refused", ReadFixture("outputs/disk/winsat-disk-refused-en.txt"), false, 0},
      {"short line", "> Disk  Sequential 64.0 Read  523.85 MB/s  7.9\r\n", true, 7.9},
      {"stray cr", "> Disk  Sequential 64.0 Read  523.85 MB/s  7.9 \r\r\n", true, 7.9},
      {"no rating", "> Disk  Sequential 64.0 Read  523.85 MB/s\r\n", true, 0},
      {"one blank", "> Disk Sequential 64.0 Read  523.85 MB/s  7.9\r\n", false, 0},
      {"random read only", "> Disk  Random 16.0 Read  351.26 MB/s  7.5\r\n", false, 0},
      {"no unit", "> Disk  Sequential 64.0 Read  523.85\r\n", false, 0},
      {"no line end", "> Disk  Sequential 64.0 Read  523.85 MB/s  7.9", false, 0},
      {"empty", "", false, 0},
  };
  for (const auto& c : cases) {
    double rating = -1;
    EXPECT_EQ(ParseWinsatReadRating(c.text, rating), c.found) << c.what;
    EXPECT_DOUBLE_EQ(rating, c.found ? c.rating : -1) << c.what;
  }
}

}  // namespace
}  // namespace kestrel::test
