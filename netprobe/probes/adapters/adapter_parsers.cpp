#include "probes/adapters/adapter_parsers.h"

#include <climits>
#include <cstdint>
#include <string_view>
#include <utility>

#include "core/language.h"
#include "core/shared.h"
#include "kestrel/ascii.h"

namespace netprobe {

namespace {

// The words netsh prints on a system of each language (GBK bytes for the Chinese ones).
struct ListingKeywords {
  std::string_view description;
  std::string_view state;
  std::string_view signal;
};

constexpr ListingKeywords kChineseKeywords{"描述", "状态", "信号"};
constexpr ListingKeywords kOtherKeywords{"Description", "State", "Signal"};

const ListingKeywords& KeywordsFor(int language) {
  return language == kLanguageChinese ? kChineseKeywords : kOtherKeywords;
}

// Host-only and hypervisor switch adapters are not the PC's own network connection.
constexpr std::string_view kVirtualMarker = "Virtual";

// What wmic prints for a speed the driver cannot report (the largest 64-bit number).
constexpr std::string_view kUnknownSpeed = "9223372036854775807";

int SignalPercent(std::string value) {
  TrimRight(value, "%");
  return AtoI(value);
}

}  // namespace

bool IsConnectedState(const std::string& state, int language) {
  if (language == kLanguageChinese) {
    return state.find("已连接") != std::string::npos;
  }
  // ASCII only: the English listing is plain ASCII, and bytes of other scripts stay as they are.
  return kestrel::AsciiLower(state).find("disconnected") == std::string::npos;
}

std::vector<NetworkCard> ParseAdapterListing(const std::string& text, int language,
                                             AdapterListingForm form) {
  const ListingKeywords& keys = KeywordsFor(language);
  std::vector<NetworkCard> cards;
  ScanCursor cursor(text);
  // Every pass moves past at least one ":", so the loop ends on any text.
  while (cursor.MoveTo(keys.description)) {
    if (!cursor.MovePast(":")) {
      break;
    }
    NetworkCard card;
    if (!cursor.TakeLine(card.description)) {
      continue;  // a description cut off by the end of the output is no adapter
    }
    std::string value;
    if (cursor.ColonValue(keys.state, value)) {
      card.connected = IsConnectedState(value, language) ? 1 : 0;
    }
    if (form == AdapterListingForm::kWireless && cursor.ColonValue(keys.signal, value)) {
      card.signal = SignalPercent(value);
    }
    if (card.description.find(kVirtualMarker) == std::string::npos) {
      cards.push_back(std::move(card));
    }
  }
  return cards;
}

int ReadAdapterSpeed(const std::string& listing, const std::string& description) {
  const std::size_t block = listing.find(description);
  if (block == std::string::npos) {
    return 0;
  }
  ScanCursor cursor(std::string_view(listing).substr(block));
  std::string value;
  // "MaxSpeed=" comes earlier in the block than "ServiceName="; the link speed comes after it.
  if (!cursor.MoveTo("ServiceName=") || !cursor.EqualsValue("Speed=", value)) {
    return 0;
  }
  if (value.empty() || value == kUnknownSpeed) {
    return 0;
  }
  const std::int64_t megabits = AtoI64(value) / 1000 / 1000;
  // Beyond any real link; keeps the conversion defined.
  if (megabits > INT_MAX) {
    return INT_MAX;
  }
  if (megabits < INT_MIN) {
    return INT_MIN;
  }
  return static_cast<int>(megabits);
}

void ReadAdapterSpeeds(const std::string& listing, std::vector<NetworkCard>& cards) {
  for (NetworkCard& card : cards) {
    card.speed = ReadAdapterSpeed(listing, card.description);
  }
}

}  // namespace netprobe
