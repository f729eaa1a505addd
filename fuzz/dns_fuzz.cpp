// The DNS test's readers on arbitrary bytes: the input is read as a WMIC array value (first and
// every quoted address), as a nicconfig listing for adapters named by its own "Description="
// lines, as ping's statistics block and as netsh's DNS server listing in both languages.
//
// This build's Chinese keywords are UTF-8 bytes (clang has no GBK literals); scripts/fuzz seeds
// this target with UTF-8 copies of the Chinese recordings as well.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/language.h"
#include "core/shared.h"
#include "fuzz_check.h"
#include "probes/dns/dns_parsers.h"
#include "probes/dns/ping_command.h"

namespace {

// What a value left alone holds, so a parser's write is told from no write.
const std::string kUntouched = "untouched";
constexpr int kUntouchedNumber = -424242;
constexpr std::size_t kMostCards = 4;

// An accepted quoted element: dotted-IPv4 long, trimmed (no leading blank, no trailing blank or
// line end; a line end may stay behind leading blanks), one element of the text.
bool IsAddressElement(std::string_view text, std::string_view element) {
  return element.size() >= 7 && element.size() <= 15 && element.find('"') == std::string::npos &&
         element.front() != ' ' &&
         std::string_view(" \r\n").find(element.back()) == std::string_view::npos &&
         fuzz::IsCutFrom(text, element);
}

bool IsAddressOrUntouched(std::string_view text, const std::string& value) {
  return value == kUntouched || IsAddressElement(text, value);
}

void CheckQuoted(const std::string& text) {
  std::string address = kUntouched;
  const bool found = netprobe::ParseQuotedAddress(text, address);
  FUZZ_CHECK(found ? IsAddressElement(text, address) : address == kUntouched);

  std::vector<std::string> addresses{kUntouched};
  netprobe::ParseQuotedAddressList(text, addresses);
  FUZZ_CHECK(addresses.front() == kUntouched);
  // Each element sits between a quote and the next one (or the end).
  FUZZ_CHECK(addresses.size() - 1 <= (fuzz::CountOf(text, "\"") + 1) / 2);
  for (std::size_t i = 1; i < addresses.size(); ++i) {
    FUZZ_CHECK(IsAddressElement(text, addresses[i]));
  }
  // The single reader takes the list's first element.
  FUZZ_CHECK(!found || (addresses.size() > 1 && addresses[1] == address));
}

NetworkCard UntouchedCard(std::string description) {
  NetworkCard card;
  card.description = std::move(description);
  card.connected = 1;
  card.speed = 100;
  card.signal = 50;
  card.ipAddress = kUntouched;
  card.subnetMask = kUntouched;
  card.defaultIPGateway = kUntouched;
  card.dnsServers = {kUntouched};
  card.networkPrefix = kUntouched;
  return card;
}

void CheckCard(const std::string& text, const NetworkCard& card, const std::string& description) {
  FUZZ_CHECK(card.description == description);
  FUZZ_CHECK(card.connected == 1 && card.speed == 100 && card.signal == 50);
  FUZZ_CHECK(card.networkPrefix == kUntouched);
  FUZZ_CHECK(!card.dnsServers.empty() && card.dnsServers.front() == kUntouched);
  const bool named = !description.empty() && text.find(description) != std::string::npos;
  if (!named) {
    FUZZ_CHECK(card.ipAddress == kUntouched && card.subnetMask == kUntouched &&
               card.defaultIPGateway == kUntouched && card.dnsServers.size() == 1);
    return;
  }
  FUZZ_CHECK(IsAddressOrUntouched(text, card.ipAddress));
  FUZZ_CHECK(IsAddressOrUntouched(text, card.subnetMask));
  FUZZ_CHECK(IsAddressOrUntouched(text, card.defaultIPGateway));
  for (std::size_t i = 1; i < card.dnsServers.size(); ++i) {
    FUZZ_CHECK(IsAddressElement(text, card.dnsServers[i]));
  }
  // What the listing put there goes into a cmd line only as digits and dots.
  const std::wstring command =
      netprobe::PingFromCommand(card.defaultIPGateway, card.ipAddress, L" -n 10", true);
  FUZZ_CHECK(command.empty() ||
             command.find_first_not_of(L"ping0123456789. -Sn") == std::wstring::npos);
}

void CheckNicConfig(const std::string& text) {
  // The listing's own descriptions, one missing and an empty one: wired and wireless alike.
  std::vector<std::string> descriptions{"", "no such adapter in the listing"};
  netprobe::ScanCursor cursor(text);
  std::string value;
  while (descriptions.size() < kMostCards && cursor.EqualsValue("Description=", value)) {
    descriptions.push_back(value);
  }
  std::vector<NetworkCard> wired;
  std::vector<NetworkCard> wireless;
  for (std::size_t i = 0; i < descriptions.size(); ++i) {
    (i % 2 == 0 ? wired : wireless).push_back(UntouchedCard(descriptions[i]));
  }
  FUZZ_CHECK(netprobe::ParseNicConfig(text, wired, wireless) == 1);
  FUZZ_CHECK(wired.size() + wireless.size() == descriptions.size());
  for (std::size_t i = 0; i < descriptions.size(); ++i) {
    CheckCard(text, (i % 2 == 0 ? wired : wireless)[i / 2], descriptions[i]);
  }
}

void CheckPing(const std::string& text) {
  DnsProbeResult result;
  result.dnsAddress = kUntouched;
  result.lost = result.minimum = result.maximum = result.average = kUntouchedNumber;
  FUZZ_CHECK(netprobe::ParsePingStatistics(text, result) == 1);
  FUZZ_CHECK(result.dnsAddress == kUntouched);
  if (text.find("丢失 = ") == std::string::npos) {
    FUZZ_CHECK(result.lost == kUntouchedNumber && result.minimum == kUntouchedNumber &&
               result.maximum == kUntouchedNumber && result.average == kUntouchedNumber);
    return;
  }
  // The later keys are searched after the ones before, so a key absent anywhere leaves its number.
  FUZZ_CHECK(text.find("最短 = ") != std::string::npos || result.minimum == kUntouchedNumber);
  FUZZ_CHECK(text.find("最长 = ") != std::string::npos || result.maximum == kUntouchedNumber);
  FUZZ_CHECK(text.find("平均 = ") != std::string::npos || result.average == kUntouchedNumber);
}

void CheckDnsSource(const std::string& text, const std::string& friendlyName, int language) {
  const std::string_view staticMarker =
      language == netprobe::kLanguageChinese ? "静态配置" : "Statically Configured";
  const std::string_view suffixLine =
      language == netprobe::kLanguageChinese ? "用哪个前缀注册" : "Register with which suffix";
  for (const int before : {0, kUntouchedNumber}) {
    int isStatic = before;
    const bool found = netprobe::ParseDnsServerSource(text, friendlyName, language, isStatic);
    FUZZ_CHECK(found == (text.find("\"" + friendlyName + "\"") != std::string::npos));
    FUZZ_CHECK(isStatic == before || (found && isStatic == 1));
    FUZZ_CHECK(isStatic != 1 || before == 1 ||
               (fuzz::IsCutFrom(text, staticMarker) && fuzz::IsCutFrom(text, suffixLine)));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text = fuzz::Text(data, size);
  CheckQuoted(text);
  CheckNicConfig(text);
  CheckPing(text);

  // The adapter named by the text's first quoted name, and one netsh never lists.
  std::string quotedName;
  const std::size_t open = text.find('"');
  if (open != std::string::npos) {
    quotedName = text.substr(open + 1, text.find('"', open + 1) - open - 1);
  }
  for (const std::string& name : {quotedName, std::string("Ethernet"), std::string("本地连接")}) {
    for (const int language : {netprobe::kLanguageChinese, netprobe::kLanguageOther}) {
      CheckDnsSource(text, name, language);
    }
  }
  return 0;
}
