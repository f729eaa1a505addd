// The LAN count's readers on arbitrary bytes: the sweep prefix of the input's first line, of an
// address made of its first bytes and of the whole input; then the input as an "arp -a" listing
// in both languages for adapters at the addresses its own interface headers name.
//
// This build's Chinese keywords are UTF-8 bytes (clang has no GBK literals); scripts/fuzz seeds
// this target with UTF-8 copies of the Chinese recordings as well.
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/ipv4.h"
#include "core/language.h"
#include "fuzz_check.h"
#include "probes/lan/lan_parsers.h"

namespace {

const std::string kUntouched = "untouched";
constexpr std::size_t kMostCards = 6;

void CheckPrefix(const std::string& address) {
  std::string sweepPrefix = kUntouched;
  std::string networkPrefix = kUntouched;
  const bool found = netprobe::ComputeNetworkPrefix(address, sweepPrefix, networkPrefix);
  const std::size_t dots = fuzz::CountOf(address, ".");
  FUZZ_CHECK(found == (dots > 0));
  if (!found) {
    FUZZ_CHECK(sweepPrefix == kUntouched && networkPrefix == kUntouched);
    return;
  }
  // The octets before the last dot (three at most), cut from the front of the address.
  FUZZ_CHECK(address.compare(0, networkPrefix.size(), networkPrefix) == 0);
  FUZZ_CHECK(!networkPrefix.empty() && networkPrefix.back() == '.');
  FUZZ_CHECK(fuzz::CountOf(networkPrefix, ".") == std::min<std::size_t>(dots, 3));
  const std::string_view padding = dots == 1 ? "0.0.0" : dots == 2 ? "0.0" : "";
  FUZZ_CHECK(sweepPrefix == networkPrefix + std::string(padding));
  if (netprobe::IsDottedIPv4(address)) {
    // A dotted address keeps its last octet out of the prefix, and the prefix plus any octet is
    // an address again.
    FUZZ_CHECK(sweepPrefix == networkPrefix);
    FUZZ_CHECK(address.size() > networkPrefix.size() &&
               address.find('.', networkPrefix.size()) == std::string::npos);
    FUZZ_CHECK(netprobe::IsDottedIPv4(networkPrefix + "1"));
  }
}

NetworkCard Card(std::string description, std::string ipAddress, std::string networkPrefix) {
  NetworkCard card;
  card.description = std::move(description);
  card.ipAddress = std::move(ipAddress);
  card.networkPrefix = std::move(networkPrefix);
  return card;
}

// The adapters: one at each address an interface header names, with its computed prefix; one
// whose prefix is too short, one without an address and one at an address the listing lacks.
void MakeCards(const std::string& text, std::string_view header, std::vector<NetworkCard>& wired,
               std::vector<NetworkCard>& wireless) {
  std::vector<NetworkCard> cards{Card("short prefix", "10.0.0.23", "1"),
                                 Card("no address", "", "10.0.0."),
                                 Card("elsewhere", "203.0.113.250", "203.0.113.")};
  for (std::size_t at = text.find(header); at != std::string::npos && cards.size() < kMostCards;
       at = text.find(header, at + 1)) {
    std::size_t start = at + header.size();
    start = std::min(text.find_first_not_of(": ", start), text.size());
    const std::string address = text.substr(start, text.find_first_of(" \r\n", start) - start);
    std::string sweepPrefix;
    std::string networkPrefix;
    netprobe::ComputeNetworkPrefix(address, sweepPrefix, networkPrefix);
    cards.push_back(Card("card " + std::to_string(cards.size()), address, networkPrefix));
  }
  for (std::size_t i = 0; i < cards.size(); ++i) {
    (i % 2 == 0 ? wired : wireless).push_back(cards[i]);
  }
}

void CheckEntries(const std::string& text, const std::vector<NetworkCard>& cards,
                  const std::vector<LanDevicesEntry>& entries) {
  // The entry that stood before the call stays first; then one for each adapter that qualifies.
  FUZZ_CHECK(!entries.empty() && entries.front().networkCardName == kUntouched);
  std::size_t next = 1;
  for (const NetworkCard& card : cards) {
    if (card.networkPrefix.size() <= 1 || card.ipAddress.empty() ||
        text.find(card.ipAddress) == std::string::npos) {
      continue;
    }
    FUZZ_CHECK(next < entries.size());
    const LanDevicesEntry& entry = entries[next++];
    FUZZ_CHECK(entry.networkCardName == card.description);
    FUZZ_CHECK(entry.devicesAddress.size() <= fuzz::CountOf(text, card.networkPrefix));
    for (const std::string& device : entry.devicesAddress) {
      FUZZ_CHECK(device.compare(0, card.networkPrefix.size(), card.networkPrefix) == 0);
      FUZZ_CHECK(device.find(' ') == std::string::npos);
      // A device is followed by the blank that ended it.
      FUZZ_CHECK(fuzz::IsCutFrom(text, device + " "));
    }
    const int score = entry.numberLanDevicesScore;
    FUZZ_CHECK(score == 60 || score == 40 || score == 25 || score == 15);
    FUZZ_CHECK(entry.devicesAddress.size() > 3 || score == 60);
  }
  FUZZ_CHECK(next == entries.size());
}

void CheckArp(const std::string& text, int language) {
  const std::string_view header = language == netprobe::kLanguageChinese ? "接口" : "Interface";
  std::vector<NetworkCard> wired;
  std::vector<NetworkCard> wireless;
  MakeCards(text, header, wired, wireless);
  LanDevicesEntry earlier;
  earlier.networkCardName = kUntouched;
  std::vector<LanDevicesEntry> wiredEntries{earlier};
  std::vector<LanDevicesEntry> wirelessEntries{earlier};
  netprobe::ParseArpTable(text, wired, wireless, language, wiredEntries, wirelessEntries);
  CheckEntries(text, wired, wiredEntries);
  CheckEntries(text, wireless, wirelessEntries);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text = fuzz::Text(data, size);
  CheckPrefix(text.substr(0, text.find('\n')));
  CheckPrefix(text);
  if (size >= 4) {
    std::string address;
    for (std::size_t i = 0; i < 4; ++i) {
      address += (i == 0 ? "" : ".") + std::to_string(data[i]);
    }
    CheckPrefix(address);
  }
  for (const int language : {netprobe::kLanguageChinese, netprobe::kLanguageOther}) {
    CheckArp(text, language);
  }
  return 0;
}
