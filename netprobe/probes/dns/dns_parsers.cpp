#include "probes/dns/dns_parsers.h"

#include <cstddef>
#include <string_view>

#include "core/language.h"
#include "core/shared.h"

namespace netprobe {

namespace {

// A dotted IPv4 address is 7 ("0.0.0.0") to 15 ("255.255.255.255") characters long.
constexpr std::size_t kShortestAddress = 7;
constexpr std::size_t kLongestAddress = 15;

// The look-back before an adapter's description: its block's gateway line comes first.
constexpr std::size_t kGatewayLookBack = 200;

bool HasAddressLength(const std::string& text) {
  return text.size() >= kShortestAddress && text.size() <= kLongestAddress;
}

// Leading CR/LF and blanks, then trailing blanks and CR/LF: how the readers trim a quoted value.
std::string TrimmedElement(std::string_view element) {
  std::string text(element);
  FullTrim(text);
  return text;
}

void ReadNicBlock(const std::string& text, NetworkCard& card) {
  const std::size_t match = text.find(card.description);
  if (card.description.empty() || match == std::string::npos) {
    return;
  }
  const std::size_t start = match > kGatewayLookBack ? match - kGatewayLookBack : 0;
  ScanCursor cursor(std::string_view(text).substr(start));
  std::string value;
  if (cursor.EqualsValue("DefaultIPGateway=", value)) {
    ParseQuotedAddress(value, card.defaultIPGateway);
  }
  value.clear();
  if (cursor.EqualsValue("DNSServerSearchOrder=", value)) {
    ParseQuotedAddressList(value, card.dnsServers);
  }
  value.clear();
  if (cursor.EqualsValue("IPAddress=", value)) {
    ParseQuotedAddress(value, card.ipAddress);
  }
  value.clear();
  if (cursor.EqualsValue("IPSubnet=", value)) {
    ParseQuotedAddress(value, card.subnetMask);
  }
}

// The number after `key` up to `terminator`; the rest of the text moves past the key. False
// (text and number unchanged) when the key is missing.
bool TakeNumber(std::string_view& rest, std::string_view key, std::string_view terminator,
                int& number) {
  const std::size_t at = rest.find(key);
  if (at == std::string_view::npos) {
    return false;
  }
  rest.remove_prefix(at + key.size());
  number = AtoI(rest.substr(0, rest.find(terminator)));
  return true;
}

struct SourceKeywords {
  std::string_view registerSuffix;
  std::string_view staticMarker;
};

constexpr SourceKeywords kChineseSource{"用哪个前缀注册", "静态配置"};
constexpr SourceKeywords kOtherSource{"Register with which suffix", "Statically Configured"};

}  // namespace

bool ParseQuotedAddress(const std::string& value, std::string& address) {
  const std::size_t open = value.find('"');
  if (open == std::string::npos) {
    return false;
  }
  const std::size_t close = value.find('"', open + 1);
  const std::size_t length = close == std::string::npos ? std::string::npos : close - open - 1;
  std::string element = TrimmedElement(std::string_view(value).substr(open + 1, length));
  if (!HasAddressLength(element)) {
    return false;
  }
  address = std::move(element);
  return true;
}

void ParseQuotedAddressList(const std::string& value, std::vector<std::string>& addresses) {
  std::size_t open = value.find('"');
  while (open != std::string::npos) {
    const std::size_t close = value.find('"', open + 1);
    const std::size_t length = close == std::string::npos ? std::string::npos : close - open - 1;
    std::string element = TrimmedElement(std::string_view(value).substr(open + 1, length));
    if (HasAddressLength(element)) {
      addresses.push_back(std::move(element));
    }
    if (close == std::string::npos) {
      return;
    }
    open = value.find('"', close + 1);
  }
}

int ParseNicConfig(const std::string& text, std::vector<NetworkCard>& wired,
                   std::vector<NetworkCard>& wireless) {
  for (NetworkCard& card : wired) {
    ReadNicBlock(text, card);
  }
  for (NetworkCard& card : wireless) {
    ReadNicBlock(text, card);
  }
  return 1;
}

int ParsePingStatistics(const std::string& text, DnsProbeResult& result) {
  std::string_view rest(text);
  if (!TakeNumber(rest, "丢失 = ", "(", result.lost)) {
    return 1;
  }
  TakeNumber(rest, "最短 = ", "ms", result.minimum);
  TakeNumber(rest, "最长 = ", "ms", result.maximum);
  TakeNumber(rest, "平均 = ", "ms", result.average);
  return 1;
}

bool ParseDnsServerSource(const std::string& text, const std::string& friendlyName, int language,
                          int& isStatic) {
  const std::size_t header = text.find("\"" + friendlyName + "\"");
  if (header == std::string::npos) {
    return false;
  }
  const SourceKeywords& keywords = language == kLanguageChinese ? kChineseSource : kOtherSource;
  std::string_view section = std::string_view(text).substr(header);
  const std::size_t suffixLine = section.find(keywords.registerSuffix);
  if (suffixLine != std::string_view::npos &&
      section.substr(0, suffixLine).find(keywords.staticMarker) != std::string_view::npos) {
    isStatic = 1;
  }
  return true;
}

}  // namespace netprobe
