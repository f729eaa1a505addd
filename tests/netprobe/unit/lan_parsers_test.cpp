// The sweep prefix of an address and the devices of recorded "arp -a" tables.
#include "probes/lan/lan_parsers.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/language.h"
#include "probe_fixtures.h"
#include "support/records.h"
#include "support/testdata.h"

namespace kestrel::test {
namespace {

TEST(NetworkPrefixTest, ThreeOctetsWhateverTheMask) {
  struct Case {
    std::string address;
    bool ok;
    std::string sweep;
    std::string network;
  };
  const std::vector<Case> cases = {
      {"192.168.1.5", true, "192.168.1.", "192.168.1."},
      {"10.0.0.23", true, "10.0.0.", "10.0.0."},  // a /16 address: still the /24 sweep
      {"10.1.5", true, "10.1.0.0", "10.1."},      // two dots
      {"10.5", true, "10.0.0.0", "10."},          // one dot
      {"1.2.3.4.5", true, "1.2.3.", "1.2.3."},
      {"192168", false, "", ""},
      {"", false, "", ""},
  };
  for (const Case& c : cases) {
    std::string sweep;
    std::string network;
    EXPECT_EQ(netprobe::ComputeNetworkPrefix(c.address, sweep, network), c.ok) << c.address;
    EXPECT_EQ(sweep, c.sweep) << c.address;
    EXPECT_EQ(network, c.network) << c.address;
  }
}

NetworkCard Card(const std::string& description, const std::string& address,
                 const std::string& prefix) {
  NetworkCard card;
  card.description = description;
  card.ipAddress = address;
  card.networkPrefix = prefix;
  return card;
}

TEST(ArpTableTest, CountsEachAdaptersSectionWithoutBroadcastOrOtherNetworks) {
  struct Case {
    const char* fixture;
    int language;
    std::vector<NetworkCard> wired;
    std::vector<NetworkCard> wireless;
    std::vector<std::string> wiredEntries;
    std::vector<std::string> wirelessEntries;
  };
  const int zh = netprobe::kLanguageChinese;
  const int en = netprobe::kLanguageOther;
  const std::vector<Case> cases = {
      {"zh-desktop-arp",
       zh,
       {Card("Realtek", "192.168.1.5", "192.168.1.")},
       {},
       {"Realtek|192.168.1.1 192.168.1.20|60"},
       {}},
      {"en-laptop-arp",
       en,
       {},
       {Card("Wi-Fi", "10.0.0.23", "10.0.0.")},
       {},
       {"Wi-Fi|10.0.0.1 10.0.0.12 10.0.0.31 10.0.0.40|40"}},
      // The next header ends a section; a last line without physical address counts.
      {"zh-two-wired-arp",
       zh,
       {Card("I219", "192.168.10.8", "192.168.10."), Card("USB", "192.168.0.7", "192.168.0.")},
       {},
       {"I219||60",
        "USB|192.168.0.1 192.168.0.2 192.168.0.3 192.168.0.4 192.168.0.5 "
        "192.168.0.6 192.168.0.8 192.168.0.9 192.168.0.10 192.168.0.11 "
        "192.168.0.12|15"},
       {}},
      // No section of its own, or no prefix: no entry.
      {"zh-desktop-arp",
       zh,
       {Card("Gone", "192.168.7.9", "192.168.7."), Card("NoPrefix", "192.168.1.5", "."),
        Card("Empty", "192.168.1.5", "")},
       {},
       {},
       {}},
  };
  for (const Case& c : cases) {
    std::vector<LanDevicesEntry> wired = {};
    std::vector<LanDevicesEntry> wireless = {};
    netprobe::ParseArpTable(ReadFixture(std::string("outputs/arp/") + c.fixture + ".txt"), c.wired,
                            c.wireless, c.language, wired, wireless);
    EXPECT_EQ(Describe(wired), c.wiredEntries) << c.fixture;
    EXPECT_EQ(Describe(wireless), c.wirelessEntries) << c.fixture;
  }
}

TEST(ArpTableTest, ScoreFollowsTheNumberOfDevices) {
  const std::string table = ReadFixture("outputs/arp/zh-two-wired-arp.txt");
  // Cut the USB adapter's section after 4, 10 and 11 devices.
  const std::vector<std::pair<std::string, int>> cases = {
      {"  192.168.0.5 ", 40}, {"  192.168.0.255 ", 25}, {"  192.168.0.13 ", 15}};
  for (const auto& [cut, score] : cases) {
    const std::string text = table.find(cut) == std::string::npos ? table : CutBefore(table, cut);
    std::vector<LanDevicesEntry> wired;
    std::vector<LanDevicesEntry> wireless;
    netprobe::ParseArpTable(text, {Card("USB", "192.168.0.7", "192.168.0.")}, {},
                            netprobe::kLanguageChinese, wired, wireless);
    ASSERT_EQ(wired.size(), 1u) << cut;
    EXPECT_EQ(wired[0].numberLanDevicesScore, score) << cut << " " << Describe(wired)[0];
  }
}

}  // namespace
}  // namespace kestrel::test
