// The adapter readers on arbitrary bytes: every input is read as a netsh interface listing in
// both languages and both forms, and as a wmic nic listing for the speeds of the adapters found
// and of the description on its first line.
//
// This build's Chinese keywords are UTF-8 bytes (clang has no GBK literals); scripts/fuzz seeds
// this target with UTF-8 copies of the Chinese recordings as well.
#include <climits>
#include <cstdint>
#include <string>
#include <vector>

#include "core/language.h"
#include "fuzz_check.h"
#include "probes/adapters/adapter_parsers.h"

namespace {

using netprobe::AdapterListingForm;

void CheckListing(const std::string& text, int language, AdapterListingForm form) {
  const std::string_view descriptionKey =
      language == netprobe::kLanguageChinese ? "描述" : "Description";
  const std::vector<NetworkCard> cards = netprobe::ParseAdapterListing(text, language, form);
  // Each adapter stands behind its own description key, so there are never more of them.
  FUZZ_CHECK(cards.size() <= fuzz::CountOf(text, descriptionKey));
  for (const NetworkCard& card : cards) {
    FUZZ_CHECK(fuzz::IsTrimmedLineValue(card.description));
    FUZZ_CHECK(fuzz::IsCutFrom(text, card.description));
    FUZZ_CHECK(card.description.find("Virtual") == std::string::npos);
    FUZZ_CHECK(card.connected == 0 || card.connected == 1);
    FUZZ_CHECK(card.speed == 0);
    FUZZ_CHECK(form == AdapterListingForm::kWireless || card.signal == 0);
  }

  std::vector<NetworkCard> again = netprobe::ParseAdapterListing(text, language, form);
  FUZZ_CHECK(again.size() == cards.size());
  for (std::size_t i = 0; i < again.size(); ++i) {
    FUZZ_CHECK(again[i].description == cards[i].description &&
               again[i].connected == cards[i].connected && again[i].signal == cards[i].signal);
  }

  // The same text as a wmic listing: a speed for each adapter, and one for the adapter alone.
  netprobe::ReadAdapterSpeeds(text, again);
  for (std::size_t i = 0; i < again.size(); ++i) {
    FUZZ_CHECK(again[i].speed == netprobe::ReadAdapterSpeed(text, cards[i].description));
    FUZZ_CHECK(again[i].description == cards[i].description);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text = fuzz::Text(data, size);
  for (const int language : {netprobe::kLanguageChinese, netprobe::kLanguageOther}) {
    CheckListing(text, language, AdapterListingForm::kWired);
    CheckListing(text, language, AdapterListingForm::kWireless);
  }

  const std::string firstLine = text.substr(0, text.find('\n'));
  const int speed = netprobe::ReadAdapterSpeed(text, firstLine);
  FUZZ_CHECK(speed == netprobe::ReadAdapterSpeed(text, firstLine));
  // A speed needs the adapter's own "Speed=" line after its "ServiceName=".
  FUZZ_CHECK(speed == 0 || text.find("ServiceName=") != std::string::npos);

  return 0;
}
