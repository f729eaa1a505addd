// The adapter listings of netsh and the link speeds of wmic, against recorded output.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "NetProbe.h"
#include "probe_fixtures.h"
#include "probes/adapters/adapter_parsers.h"
#include "support/testdata.h"

namespace kestrel::test {
namespace {

using netprobe::AdapterListingForm;
using netprobe::ParseAdapterListing;
using netprobe::ReadAdapterSpeed;

constexpr int kChinese = 1;
constexpr int kEnglish = 2;

// "description|connected|signal", so a mismatch shows the whole card.
std::vector<std::string> Describe(const std::vector<NetworkCard>& cards) {
  std::vector<std::string> described;
  for (const NetworkCard& card : cards) {
    described.push_back(card.description + "|" + std::to_string(card.connected) + "|" +
                        std::to_string(card.signal));
  }
  return described;
}

struct ListingCase {
  const char* fixture;
  int language;
  AdapterListingForm form;
  std::vector<std::string> expected;
};

TEST(AdapterListingTest, ReadsStateSignalAndSkipsVirtualAdapters) {
  const auto wired = AdapterListingForm::kWired;
  const auto wireless = AdapterListingForm::kWireless;
  const ListingCase cases[] = {
      // The VirtualBox host-only adapter beside the real one is left out.
      {"outputs/netsh/zh-lan-interface-desktop.txt",
       kChinese,
       wired,
       {"Realtek PCIe GbE Family Controller|1|0"}},
      {"outputs/netsh/zh-lan-interface-two-wired.txt",
       kChinese,
       wired,
       {"Intel(R) Ethernet Connection (2) I219-LM|1|0", "Realtek USB GbE Family Controller|1|0"}},
      {"outputs/netsh/zh-wlan-interface-connected.txt",
       kChinese,
       wireless,
       {"Intel(R) Wireless-AC 9560 160MHz|1|62"}},
      // "已断开连接" does not hold "已连接"; no signal line while disconnected.
      {"outputs/netsh/zh-wlan-interface-disconnected.txt",
       kChinese,
       wireless,
       {"Intel(R) Dual Band Wireless-AC 8265|0|0"}},
      {"outputs/netsh/zh-wlan-service-not-running.txt", kChinese, wireless, {}},
      {"outputs/netsh/en-lan-interface-laptop.txt",
       kEnglish,
       wired,
       {"Intel(R) Ethernet Connection (4) I219-V|0|0"}},
      {"outputs/netsh/en-wlan-interface-laptop.txt",
       kEnglish,
       wireless,
       {"Intel(R) Wireless-AC 9560 160MHz|1|80"}},
      // The wired form reads no signal, even where the listing has one.
      {"outputs/netsh/en-wlan-interface-laptop.txt",
       kEnglish,
       wired,
       {"Intel(R) Wireless-AC 9560 160MHz|1|0"}},
      // "MEDIA DISCONNECTED" in capitals; "Authentication succeeded" counts as connected.
      {"outputs/netsh/en-lan-interface-mixed-case.txt",
       kEnglish,
       wired,
       {"Intel(R) I211 Gigabit Network Connection|1|0",
        "Intel(R) Ethernet Controller (3) I225-V|0|0", "Realtek USB GbE Family Controller|1|0"}},
      {"outputs/netsh/en-lan-interface-virtual-only.txt", kEnglish, wired, {}},
      {"outputs/netsh/en-wlan-no-interface.txt", kEnglish, wireless, {}},
      // The first adapter has no State line: its search finds the second adapter's, and the
      // second adapter's description then lies behind the cursor.
      {"outputs/netsh/en-lan-interface-missing-state.txt",
       kEnglish,
       wired,
       {"Intel(R) Ethernet Connection (7) I219-V|1|0"}},
      // Keywords of the other language find nothing.
      {"outputs/netsh/zh-lan-interface-desktop.txt", kEnglish, wired, {}},
      {"outputs/netsh/en-lan-interface-laptop.txt", kChinese, wired, {}},
  };
  for (const ListingCase& c : cases) {
    const std::string text = ReadFixture(c.fixture);
    EXPECT_EQ(Describe(ParseAdapterListing(text, c.language, c.form)), c.expected) << c.fixture;
    // Stray CRs before the line ends (CR CR LF, as wmic writes) change nothing.
    EXPECT_EQ(Describe(ParseAdapterListing(ReplaceAll(text, "\r\n", "\r\r\n"), c.language, c.form)),
              c.expected)
        << c.fixture << " with CR CR LF";
  }
}

TEST(AdapterListingTest, ConnectedTestFollowsTheLanguage) {
  const struct {
    const char* state;
    int language;
    bool connected;
  } cases[] = {
      {"connected", kEnglish, true},
      {"Connected. Network does not support authentication.", kEnglish, true},
      {"disconnected", kEnglish, false},
      {"Media Disconnected", kEnglish, false},
      {"DISCONNECTED", kEnglish, false},
      {"", kEnglish, true},  // only the word "disconnected" counts against
      {"已连接", kChinese, true},
      {"已连接。网络不支持身份验证。", kChinese, true},
      {"已断开连接", kChinese, false},
      {"connected", kChinese, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(netprobe::IsConnectedState(c.state, c.language), c.connected) << c.state;
  }
}

TEST(AdapterListingTest, OutputCutShortKeepsWhatCameBeforeTheCut) {
  const std::string text = ReadFixture("outputs/netsh/en-wlan-interface-laptop.txt");
  const struct {
    const char* cutAfter;  // the listing ends right after the first occurrence of this
    std::vector<std::string> expected;
  } cases[] = {
      {"Description", {}},
      // A description with no line end after it is no adapter.
      {"Intel(R) Wireless-AC 9560 160MHz", {}},
      {"160MHz\r\n", {"Intel(R) Wireless-AC 9560 160MHz|0|0"}},
      {"State                  : connected", {"Intel(R) Wireless-AC 9560 160MHz|0|0"}},
      {"connected\r\n", {"Intel(R) Wireless-AC 9560 160MHz|1|0"}},
      {"80% ", {"Intel(R) Wireless-AC 9560 160MHz|1|0"}},
      {"80% \r\n", {"Intel(R) Wireless-AC 9560 160MHz|1|80"}},
  };
  for (const auto& c : cases) {
    const std::size_t at = text.find(c.cutAfter);
    ASSERT_NE(at, std::string::npos) << c.cutAfter;
    const std::string cut = text.substr(0, at + std::string(c.cutAfter).size());
    EXPECT_EQ(Describe(ParseAdapterListing(cut, kEnglish, AdapterListingForm::kWireless)),
              c.expected)
        << c.cutAfter;
  }
}

TEST(AdapterListingTest, EveryPrefixGivesAtMostTheWholeAdapter) {
  const std::string text = ReadFixture("outputs/netsh/zh-wlan-interface-connected.txt");
  for (std::size_t length = 0; length <= text.size(); ++length) {
    const auto cards =
        ParseAdapterListing(text.substr(0, length), kChinese, AdapterListingForm::kWireless);
    ASSERT_LE(cards.size(), 1u) << length;
    if (!cards.empty()) {
      EXPECT_EQ(cards[0].description, "Intel(R) Wireless-AC 9560 160MHz") << length;
    }
  }
}

TEST(AdapterListingTest, ListingOfSeveralMegabytesKeepsEveryAdapterInOrder) {
  const std::string block = ReadFixture("outputs/netsh/en-lan-interface-mixed-case.txt");
  std::string text;
  const std::size_t copies = 4 * 1024 * 1024 / block.size();
  for (std::size_t i = 0; i < copies; ++i) {
    text += block;
  }
  const auto cards = ParseAdapterListing(text, kEnglish, AdapterListingForm::kWired);
  ASSERT_EQ(cards.size(), 3 * copies);
  EXPECT_EQ(cards.back().description, "Realtek USB GbE Family Controller");
  EXPECT_EQ(cards[cards.size() - 2].connected, 0);
}

struct SpeedCase {
  const char* fixture;
  const char* description;
  int expected;
};

TEST(AdapterSpeedTest, ReadsTheLinkSpeedOfTheAdaptersBlock) {
  const SpeedCase cases[] = {
      // Each block has "MaxSpeed=" (empty) before the link speed's "Speed=".
      {"outputs/nic/zh-desktop-nic-list-full.txt", "Realtek PCIe GbE Family Controller", 1000},
      {"outputs/nic/zh-desktop-nic-list-full.txt", "VirtualBox Host-Only Ethernet Adapter", 1000},
      {"outputs/nic/en-laptop-nic-list-full.txt", "Intel(R) Wireless-AC 9560 160MHz", 866},
      {"outputs/nic/en-laptop-nic-list-full.txt", "Bluetooth Device (Personal Area Network)", 3},
      // The value wmic shows for a speed it cannot report, and an empty one.
      {"outputs/nic/en-laptop-nic-list-full.txt", "Intel(R) Ethernet Connection (4) I219-V", 0},
      {"outputs/nic/zh-unknown-speed-nic-list-full.txt", "Intel(R) Ethernet Connection (2) I219-LM",
       0},
      {"outputs/nic/zh-unknown-speed-nic-list-full.txt", "Realtek USB GbE Family Controller", 0},
      {"outputs/nic/zh-desktop-nic-list-full.txt", "WAN Miniport (IP)", 0},
      {"outputs/nic/en-virtual-only-nic-list-full.txt", "Hyper-V Virtual Ethernet Adapter", 10000},
      {"outputs/nic/en-laptop-nic-list-full.txt", "Realtek PCIe GbE Family Controller",
       0},                                                  // not listed
      {"outputs/nic/zh-desktop-nic-list-full.txt", "", 0},  // the first block's empty speed
  };
  for (const SpeedCase& c : cases) {
    EXPECT_EQ(ReadAdapterSpeed(ReadFixture(c.fixture), c.description), c.expected)
        << c.fixture << ": " << c.description;
  }
}

TEST(AdapterSpeedTest, EveryPrefixGivesTheWholeSpeedOrNone) {
  const std::string listing = ReadFixture("outputs/nic/en-laptop-nic-list-full.txt");
  const std::string wireless = "Intel(R) Wireless-AC 9560 160MHz";
  for (std::size_t length = 0; length <= listing.size(); ++length) {
    const int speed = ReadAdapterSpeed(listing.substr(0, length), wireless);
    ASSERT_TRUE(speed == 0 || speed == 866) << length << ": " << speed;
  }
  // The speed line needs its line end: "866700000" alone could be a cut-off longer number.
  const std::size_t end = listing.find("866700000") + 9;
  EXPECT_EQ(ReadAdapterSpeed(listing.substr(0, end), wireless), 0);
  EXPECT_EQ(ReadAdapterSpeed(listing.substr(0, end + 2), wireless), 0);
  EXPECT_EQ(ReadAdapterSpeed(listing.substr(0, end + 3), wireless), 866);
}

TEST(AdapterSpeedTest, FindsTheAdapterBehindSeveralMegabytesOfOtherBlocks) {
  const std::string others = ReadFixture("outputs/nic/en-virtual-only-nic-list-full.txt");
  std::string listing;
  while (listing.size() < 4 * 1024 * 1024) {
    listing += others;
  }
  listing += ReadFixture("outputs/nic/zh-desktop-nic-list-full.txt");
  std::vector<NetworkCard> cards(2);
  cards[0].description = "Realtek PCIe GbE Family Controller";
  cards[1].description = "Hyper-V Virtual Ethernet Adapter";
  netprobe::ReadAdapterSpeeds(listing, cards);
  EXPECT_EQ(cards[0].speed, 1000);
  EXPECT_EQ(cards[1].speed, 10000);
}

}  // namespace
}  // namespace kestrel::test
