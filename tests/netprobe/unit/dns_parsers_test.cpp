// The DNS test's readers against recorded WMIC, ping and netsh output.
#include "probes/dns/dns_parsers.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/language.h"
#include "probe_fixtures.h"
#include "support/testdata.h"

namespace kestrel::test {
namespace {

using netprobe::ParseQuotedAddress;
using netprobe::ParseQuotedAddressList;

TEST(QuotedAddressTest, TakesTheFirstElementOfSevenToFifteenCharacters) {
  struct Case {
    std::string value;
    bool accepted;
    std::string address;
  };
  const std::vector<Case> cases = {
      {R"({"192.168.1.5","fe80::1c2d:3e4f:5a6b:7c8d"})", true, "192.168.1.5"},
      {R"({"255.255.255.255"})", true, "255.255.255.255"},
      {R"({"1.1.1.1"})", true, "1.1.1.1"},
      {R"({" 10.0.0.1 "})", true, "10.0.0.1"},
      {"{\"\r\n10.0.0.1\r\n\"}", true, "10.0.0.1"},
      {R"({"1.1.1.1&x"})", true, "1.1.1.1&x"},  // length alone: commands check IsDottedIPv4
      {R"({"1.1.1.1"})", true, "1.1.1.1"},
      {R"({"1.1.11"})", false, ""},            // 6 characters
      {R"({"192.168.100.1000"})", false, ""},  // 16 characters
      {R"({"fe80::1c2d:3e4f:5a6b:7c8d"})", false, ""},
      {R"({""})", false, ""},
      {"", false, ""},
      {"192.168.1.5", false, ""},           // no quote
      {"{\"10.0.0.1}", true, "10.0.0.1}"},  // no closing quote: to the end
  };
  for (const Case& c : cases) {
    std::string address = "unchanged";
    EXPECT_EQ(ParseQuotedAddress(c.value, address), c.accepted) << c.value;
    EXPECT_EQ(address, c.accepted ? c.address : "unchanged") << c.value;
  }
}

TEST(QuotedAddressTest, ListKeepsEveryElementOfAddressLengthInOrder) {
  const std::vector<std::pair<std::string, std::vector<std::string>>> cases = {
      {R"({"192.168.1.1","202.96.134.133"})", {"192.168.1.1", "202.96.134.133"}},
      {R"({"fec0:0:0:ffff::1","fec0:0:0:ffff::2"})", {}},
      {R"({"fe80::1","10.0.0.1"})", {"fe80::1", "10.0.0.1"}},  // 7 characters: kept
      {R"({"1.1.11","8.8.8.8"})", {"8.8.8.8"}},
      {"", {}},
      {"{\"8.8.8.8}", {"8.8.8.8}"}},
  };
  for (const auto& [value, expected] : cases) {
    std::vector<std::string> addresses = {"kept"};
    ParseQuotedAddressList(value, addresses);
    std::vector<std::string> all = {"kept"};
    all.insert(all.end(), expected.begin(), expected.end());
    EXPECT_EQ(addresses, all) << value;
  }
}

NetworkCard Card(const std::string& description) {
  NetworkCard card;
  card.description = description;
  return card;
}

// "ip|mask|gateway|dns dns"
std::string Addresses(const NetworkCard& card) {
  std::string dns;
  for (const std::string& server : card.dnsServers) {
    dns += (dns.empty() ? "" : " ") + server;
  }
  return card.ipAddress + "|" + card.subnetMask + "|" + card.defaultIPGateway + "|" + dns;
}

TEST(NicConfigTest, FillsTheAddressesOfEachListedAdapter) {
  struct Case {
    const char* fixture;
    std::string description;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {"zh-desktop", "Realtek PCIe GbE Family Controller",
       "192.168.1.5|255.255.255.0|192.168.1.1|192.168.1.1 202.96.134.133"},
      // Only IPv6 DNS servers: none kept.
      {"zh-desktop", "VirtualBox Host-Only Ethernet Adapter", "192.168.56.1|255.255.255.0||"},
      {"zh-desktop", "Intel(R) Wireless-AC 9560 160MHz", "|||"},        // not listed
      {"en-laptop", "Intel(R) Ethernet Connection (4) I219-V", "|||"},  // no address
      {"en-laptop", "Intel(R) Wireless-AC 9560 160MHz", "10.0.0.23|255.255.0.0|10.0.0.1|10.0.0.1"},
      {"zh-two-wired", "Intel(R) Ethernet Connection (2) I219-LM",
       "192.168.10.8|255.255.255.0||fe80::1"},
      {"zh-two-wired", "Realtek USB GbE Family Controller",
       "192.168.0.7|255.255.255.0|192.168.0.1|114.114.114.114 192.168.0.1"},
  };
  for (const Case& c : cases) {
    const std::string text =
        ReadFixture(std::string("outputs/nicconfig/") + c.fixture + "-nicconfig-list-full.txt");
    std::vector<NetworkCard> wired = {Card(c.description)};
    std::vector<NetworkCard> wireless = {Card(c.description)};
    EXPECT_EQ(netprobe::ParseNicConfig(text, wired, wireless), 1);
    EXPECT_EQ(Addresses(wired[0]), c.expected) << c.fixture << " " << c.description;
    EXPECT_EQ(Addresses(wireless[0]), c.expected) << c.fixture << " " << c.description;
  }
}

TEST(NicConfigTest, AppendsDnsServersAndSkipsValuesWithoutLineEnd) {
  const std::string text = ReadFixture("outputs/nicconfig/zh-desktop-nicconfig-list-full.txt");
  std::vector<NetworkCard> wired = {Card("Realtek PCIe GbE Family Controller")};
  wired[0].dnsServers = {"9.9.9.9"};
  std::vector<NetworkCard> none;
  netprobe::ParseNicConfig(text, wired, none);
  EXPECT_EQ(wired[0].dnsServers,
            (std::vector<std::string>{"9.9.9.9", "192.168.1.1", "202.96.134.133"}));

  // Cut right after the IPAddress value: no line end follows, so the address stays empty.
  const std::string cut = CutBefore(text, "\r\r\nIPConnectionMetric=25");
  std::vector<NetworkCard> cards = {Card("Realtek PCIe GbE Family Controller")};
  netprobe::ParseNicConfig(cut, cards, none);
  EXPECT_EQ(Addresses(cards[0]), "||192.168.1.1|192.168.1.1 202.96.134.133");
}

TEST(PingStatisticsTest, ReadsTheChineseBlockOnly) {
  struct Case {
    const char* fixture;
    std::vector<int> expected;  // lost, minimum, maximum, average
  };
  const std::vector<Case> cases = {
      {"zh-dns-192.168.1.1-from-192.168.1.5", {0, 1, 3, 2}},
      {"zh-dns-202.96.134.133-from-192.168.1.5", {1, 9, 12, 10}},
      {"zh-router-192.168.1.1-from-192.168.1.5", {0, 1, 4, 2}},
      {"zh-router-192.168.0.1-all-lost", {10, 0, 0, 0}},
      {"zh-sweep-timeout", {1, 0, 0, 0}},
      {"zh-no-target", {0, 0, 0, 0}},
      {"zh-reply-www.baidu.com", {0, 27, 29, 28}},
      {"en-dns-10.0.0.1-from-10.0.0.23", {0, 0, 0, 0}},  // English: no key matches
      {"en-router-10.0.0.1-from-10.0.0.23", {0, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    DnsProbeResult result;
    EXPECT_EQ(netprobe::ParsePingStatistics(
                  ReadFixture(std::string("outputs/ping/") + c.fixture + ".txt"), result),
              1);
    EXPECT_EQ((std::vector<int>{result.lost, result.minimum, result.maximum, result.average}),
              c.expected)
        << c.fixture;
  }
}

TEST(PingStatisticsTest, KeysCountOnlyInTheirOrder) {
  const std::string block = ReadFixture("outputs/ping/zh-dns-192.168.1.1-from-192.168.1.5.txt");
  // The timing line before the loss line: only the loss is read.
  const std::string timing = "    最短 = 1ms，最长 = 3ms，平均 = 2ms\r\n";
  const std::string swapped = ReplacedOnce(block, timing, "") + timing;
  const std::string reordered = timing + ReplacedOnce(block, timing, "");
  DnsProbeResult kept;
  kept.minimum = 7;
  netprobe::ParsePingStatistics(reordered, kept);
  EXPECT_EQ((std::vector<int>{kept.lost, kept.minimum, kept.maximum, kept.average}),
            (std::vector<int>{0, 7, 0, 0}));
  DnsProbeResult after;
  netprobe::ParsePingStatistics(swapped, after);
  EXPECT_EQ(after.maximum, 3);
}

TEST(DnsServerSourceTest, StaticOnlyBeforeTheAdaptersRegisterLine) {
  struct Case {
    const char* fixture;
    std::string name;
    int language;
    bool found;
    int isStatic;
  };
  const int zh = netprobe::kLanguageChinese;
  const int en = netprobe::kLanguageOther;
  const std::vector<Case> cases = {
      {"zh-dnsserver-desktop-dhcp", "以太网", zh, true, 0},
      {"zh-dnsserver-desktop-static", "以太网", zh, true, 1},
      {"zh-dnsserver-desktop-static", "以太网", en, true, 0},  // other language's keywords
      {"zh-dnsserver-desktop-dhcp", "VirtualBox Host-Only Network", zh, true, 1},
      {"zh-dnsserver-desktop-dhcp", "Wi-Fi", zh, false, 0},
      {"zh-dnsserver-two-wired", "以太网", zh, true, 0},  // not "以太网 2"
      {"zh-dnsserver-two-wired", "以太网 2", zh, true, 1},
      {"en-dnsserver-laptop-dhcp", "Wi-Fi", en, true, 0},  // Loopback's static line comes after
      {"en-dnsserver-laptop-dhcp", "Ethernet", en, true, 0},
      {"en-dnsserver-laptop-dhcp", "Loopback Pseudo-Interface 1", en, true, 1},
      {"en-dnsserver-laptop-dhcp", "Wi-Fi 2", en, false, 0},
  };
  for (const Case& c : cases) {
    const std::string text = ReadFixture(std::string("outputs/netsh/") + c.fixture + ".txt");
    int isStatic = 0;
    EXPECT_EQ(netprobe::ParseDnsServerSource(text, c.name, c.language, isStatic), c.found)
        << c.fixture << " " << c.name;
    EXPECT_EQ(isStatic, c.isStatic) << c.fixture << " " << c.name;
  }
  // Without the register line nothing counts as static.
  const std::string text = ReadFixture("outputs/netsh/zh-dnsserver-desktop-static.txt");
  int isStatic = 0;
  EXPECT_TRUE(netprobe::ParseDnsServerSource(ReplaceAll(text, "用哪个前缀注册", "x"), "以太网", zh,
                                             isStatic));
  EXPECT_EQ(isStatic, 0);
}

}  // namespace
}  // namespace kestrel::test
