#include "probes/lan/lan_parsers.h"

#include <algorithm>
#include <cstddef>
#include <string_view>

#include "core/language.h"
#include "network/scorer.h"

namespace netprobe {

namespace {

// The section of an interface starts this far into its address, past the header's match.
constexpr std::size_t kSectionOffset = 7;

constexpr std::string_view kBroadcastAddress = "ff-ff-ff-ff-ff-ff";

// The addresses of one interface section that start with `prefix`.
std::vector<std::string> SectionDevices(std::string_view section, const std::string& prefix) {
  std::vector<std::string> devices;
  std::size_t at = section.find(prefix);
  while (at != std::string_view::npos) {
    section.remove_prefix(at);
    const std::size_t blank = section.find(' ');
    if (blank == std::string_view::npos) {
      break;
    }
    std::string candidate(section.substr(0, blank));
    section.remove_prefix(blank);
    section.remove_prefix(std::min(section.find_first_not_of(' '), section.size()));
    const std::size_t nextBlank = section.find(' ');
    if (nextBlank == std::string_view::npos ||
        section.substr(0, nextBlank).find(kBroadcastAddress) == std::string_view::npos) {
      devices.push_back(std::move(candidate));
    }
    at = section.find(prefix);
  }
  return devices;
}

void ReadAdapters(const std::string& text, const std::vector<NetworkCard>& cards,
                  std::string_view header, std::vector<LanDevicesEntry>& entries) {
  const Scorer scorer;
  for (const NetworkCard& card : cards) {
    if (card.networkPrefix.size() <= 1 || card.ipAddress.empty()) {
      continue;
    }
    const std::size_t match = text.find(card.ipAddress);
    if (match == std::string::npos) {
      continue;
    }
    std::string_view section =
        std::string_view(text).substr(std::min(match + kSectionOffset, text.size()));
    section = section.substr(0, section.find(header));
    LanDevicesEntry entry;
    entry.networkCardName = card.description;
    entry.devicesAddress = SectionDevices(section, card.networkPrefix);
    entry.numberLanDevicesScore = scorer.LanDevices(static_cast<int>(entry.devicesAddress.size()));
    entries.push_back(entry);
  }
}

}  // namespace

bool ComputeNetworkPrefix(const std::string& address, std::string& sweepPrefix,
                          std::string& networkPrefix) {
  std::size_t dot = address.find('.');
  if (dot == std::string::npos) {
    return false;
  }
  std::string prefix = address.substr(0, dot + 1);
  std::string rest = address.substr(dot + 1);
  static constexpr const char* kPadding[] = {"0.0.0", "0.0"};
  for (const char* padding : kPadding) {
    dot = rest.find('.');
    if (dot == std::string::npos) {
      sweepPrefix = prefix + padding;
      networkPrefix = prefix;
      return true;
    }
    prefix += rest.substr(0, dot + 1);
    rest = rest.substr(dot + 1);
  }
  sweepPrefix = prefix;
  networkPrefix = prefix;
  return true;
}

void ParseArpTable(const std::string& text, const std::vector<NetworkCard>& wired,
                   const std::vector<NetworkCard>& wireless, int language,
                   std::vector<LanDevicesEntry>& wiredEntries,
                   std::vector<LanDevicesEntry>& wirelessEntries) {
  const std::string_view header = language == kLanguageChinese ? "接口" : "Interface";
  ReadAdapters(text, wired, header, wiredEntries);
  ReadAdapters(text, wireless, header, wirelessEntries);
}

}  // namespace netprobe
